// GoogleTest inside Win32 test programs. Under Winelib _WIN32 is defined
// while the C library is glibc: gtest is included as on Linux, then Win32.
#pragma once

#if defined(__WINE__)
#pragma push_macro("_WIN32")
#pragma push_macro("WIN32")
#pragma push_macro("__WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef WIN32
#undef __WIN32
#undef __WIN32__
#include <gtest/gtest.h>
#pragma pop_macro("_WIN32")
#pragma pop_macro("WIN32")
#pragma pop_macro("__WIN32")
#pragma pop_macro("__WIN32__")
#else
#include <gtest/gtest.h>
#endif

#include <windows.h>
