# Winelib: the programs become Linux executables on Wine's Win32 libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER winegcc)
set(CMAKE_CXX_COMPILER wineg++)
set(CMAKE_RC_COMPILER wrc)
set(CMAKE_EXECUTABLE_SUFFIX .exe)
set(FILVANE_TARGET linux CACHE STRING "" FORCE)
# wrc takes gcc-style options.
set(CMAKE_RC_COMPILE_OBJECT "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
set(CMAKE_INCLUDE_FLAG_RC "-I")
set(CMAKE_RC_FLAGS "--nostdinc -I/usr/include/wine/wine/windows -I/usr/include/wine/windows")
