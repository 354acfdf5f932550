#include <winsock2.h>

#include "common/windows_sockets_win.h"

bool start_windows_sockets() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void stop_windows_sockets() { WSACleanup(); }
