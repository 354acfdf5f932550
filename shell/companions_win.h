// The companion programs and the help file, started through the shell by
// bare name, so they are found from the current directory.
#pragma once

#include <windows.h>

enum class Companion { HostScanner, Ping, Help };

// The bare file name ("brenvik.exe", "corvap.exe", "filvane.chm").
const char* companion_file(Companion which);

// Starts `which`; when the shell cannot (result 32 or less) shows its message
// in a box owned by `owner` and returns false.
bool start_companion(HWND owner, Companion which);
