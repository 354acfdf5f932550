#pragma once

// Windows Sockets for the whole program: started once before the main
// window, stopped after it.
bool start_windows_sockets();
void stop_windows_sockets();
