// Identifiers of the toolbar, the tray menu and their commands.
#pragma once

// Toolbar and tray icons (IDI_MAIN 128 serves the about and restore entries).
#define IDI_SETTINGS 132
#define IDI_LOG_QUERY 134
#define IDI_CLOSE_FILE 161
#define IDI_PING 162
#define IDI_HOST_SCAN 163
#define IDI_HIDE 165
#define IDI_QUIT 166
#define IDI_HELP 168

// Twins: the toolbar and the tray menu send different ids for one action.
// ID_LOG_QUERY 32772 and ID_CLOSE_FILE 32776 are in filvane_resources.h.
#define ID_SETTINGS 32771
#define ID_ABOUT 32773
#define ID_HOST_SCAN 32775
#define ID_PING 32777
#define ID_TRAY_RESTORE 32778
#define ID_TRAY_SETTINGS 32779
#define ID_TRAY_HOST_SCAN 32780
#define ID_TRAY_PING 32781
#define ID_QUIT 32782
#define ID_HIDE 32783
#define ID_TRAY_ABOUT 32784
#define ID_TRAY_QUIT 32786
#define ID_HELP 32787
#define ID_DISCONNECT_SESSION 32810
#define ID_CONNECT 32811
#define ID_TRAY_CONNECT 32812

// Texts of the commands, shared by the toolbar and the tray menu.
#define IDS_COMMAND_SETTINGS 6200
#define IDS_COMMAND_CLOSE_FILE 6201
#define IDS_COMMAND_HOST_SCAN 6202
#define IDS_COMMAND_PING 6203
#define IDS_COMMAND_LOG_QUERY 6204
#define IDS_COMMAND_ABOUT 6205
#define IDS_COMMAND_HIDE 6206
#define IDS_COMMAND_HELP 6207
#define IDS_COMMAND_QUIT 6208
#define IDS_COMMAND_RESTORE 6209
#define IDS_TRAY_MENU_TITLE 6210
#define IDS_TOOLBAR_FAILED 6211
#define IDS_HOST_SCANNER_MISSING 6212
#define IDS_PING_MISSING 6213
#define IDS_HELP_MISSING 6214
#define IDS_COMMAND_DISCONNECT 6215
#define IDS_COMMAND_CONNECT 6216
// The toolbar's short name: the long one widens every button past the window.
#define IDS_TOOLBAR_CONNECT 6223
#define IDS_DISCONNECT_WHO 6217
#define IDS_DISCONNECT_QUESTION 6218
#define IDS_DISCONNECT_ENDS_CONNECTION 6219
#define IDS_CHOOSE_SESSION 6220
#define IDS_SESSION_DISCONNECTED 6221
#define IDS_DISCONNECT_FAILED 6222

// The dialog that asks for another computer's name.
#define IDD_CONNECT 170
#define IDC_CONNECT_NAME 1100
#define IDC_CONNECT_REFUSED 1101

// Child window ids of the bars.
#define IDW_TOOLBAR 59392
#define IDW_REBAR 59396
