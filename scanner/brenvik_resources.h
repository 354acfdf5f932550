// Resource and control identifiers of brenvik.
#pragma once

#define IDD_SCANNER 102
#define IDS_SOCKETS_FAILED 103
#define IDI_MAIN 128
#define IDR_SKIN 130

#define IDC_START 1000
#define IDC_PROBED 1001
#define IDC_START_ADDRESS 1003
#define IDC_RESULTS 1007
#define IDC_END_ADDRESS 1008
#define IDC_STOP 1009
#define IDC_SAVE 1010
#define IDC_TIMEOUT 1012
#define IDC_TIMEOUT_SPIN 1013
