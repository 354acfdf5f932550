// Resource and control identifiers of Filvane.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDS_ALREADY_RUNNING 6000
#define IDS_WINDOW_NOT_REMEMBERED 6001
#define IDD_MONITOR 102
#define IDI_MAIN 128
#define IDR_SKIN 144

// The ten list icons, in resource order.
#define IDI_LIST_SHARE_NAME 150
#define IDI_LIST_USER 151
#define IDI_LIST_OPEN_PATH 152
#define IDI_LIST_COMPUTER 153
#define IDI_LIST_SESSION_OPENS 154
#define IDI_LIST_OPEN_MODE 155
#define IDI_LIST_TIME 156
#define IDI_LIST_SHARE_REMARK 157
#define IDI_LIST_SHARE_PATH 158
#define IDI_LIST_SHARE_USES 159

#define IDC_SESSIONS 1000
#define IDC_OPEN_FILES 1001
#define IDC_SHARES 1005
#define IDC_STATUS 1043

#define IDM_ABOUT 16
#define ID_LOG_QUERY 32772
#define ID_CLOSE_FILE 32776
