// Texts of the server a Filvane watches (included by shell/server.rci).
#pragma once

#define IDS_SERVER_TITLE 6400
#define IDS_BAD_SERVER_NAME 6401
#define IDS_SERVER_FOLDER_FAILED 6402
#define IDS_SERVER_START_FAILED 6403
