// Texts of the read-only text view's context menu, in the string table of
// every program that uses the view (controls/log_view.rci).
#pragma once

#define IDS_LOG_VIEW_COPY 6500
#define IDS_LOG_VIEW_SELECT_ALL 6501
