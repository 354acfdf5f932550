// Texts of the server a Filvane watches (included by shell/server.rci).
#pragma once

#define IDS_SERVER_TITLE 6400
#define IDS_BAD_SERVER_NAME 6401
#define IDS_SERVER_FOLDER_FAILED 6402
#define IDS_SERVER_START_FAILED 6403
#define IDS_LOGON_REFUSED_BY_SERVER 6404
#define IDS_LOGON_BAD_ACCOUNT 6405
#define IDS_LOGON_NOT_TAKEN 6406

// The dialog that asks for an account when the server refuses.
#define IDD_LOGON 171
#define IDC_LOGON_CAUSE 1102
#define IDC_LOGON_USER 1103
#define IDC_LOGON_PASSWORD 1104
#define IDC_LOGON_REMEMBER 1105
#define IDC_LOGON_NOT_TAKEN 1106
