// Resource, control and timer identifiers of Corvap.
#pragma once

#define IDD_PING 102
#define IDS_SOCKETS_FAILED 103
#define IDS_ALREADY_RUNNING 104
#define IDS_COLUMN_STATE 105
#define IDI_CORVAP 128
#define IDB_LINE_IMAGES 129
#define IDI_LINE_END 131
#define IDR_SKIN 134

#define IDC_HOST 1001
#define IDC_RESULTS 1002
#define IDC_PING 1003
#define IDC_LINE_LEFT 1004
#define IDC_LINE_RIGHT 1005
#define IDC_COUNT 1006
#define IDC_COUNT_SPIN 1007

#define IDT_MARKER 4097
