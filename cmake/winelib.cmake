# Winelib: the programs become Linux executables on Wine's Win32 libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER winegcc)
set(CMAKE_CXX_COMPILER wineg++)
set(CMAKE_RC_COMPILER wrc)
# winegcc writes NAME.exe (a start script) beside NAME.exe.so: the build
# must expect NAME.exe, or it relinks every program every time.
set(CMAKE_EXECUTABLE_SUFFIX .exe)
set(CMAKE_EXECUTABLE_SUFFIX_C .exe)
set(CMAKE_EXECUTABLE_SUFFIX_CXX .exe)
set(FILVANE_TARGET linux CACHE STRING "" FORCE)
# wrc takes gcc-style options.
set(CMAKE_RC_COMPILE_OBJECT "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
set(CMAKE_INCLUDE_FLAG_RC "-I")
set(CMAKE_RC_FLAGS "--nostdinc -I/usr/include/wine/wine/windows -I/usr/include/wine/windows")
