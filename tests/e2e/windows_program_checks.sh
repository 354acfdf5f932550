#!/usr/bin/env bash
# What each Windows program carries, read from the files themselves: its
# manifest (execution level, system DPI awareness, Windows 7 to 11, common
# controls 6, the release's version), a version resource with the company,
# product and version, a program icon at 16, 32, 48 and 256 px, and imports
# of system DLLs only.
#
#   windows_program_checks.sh FOLDER VERSION
set -u
folder=$1 version=$2
fail() { echo "FAIL: $*"; exit 1; }
IFS=. read -r major minor patch <<<"$version"

# DLLs every Windows from 7 on ships.
system_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll netapi32.dll ole32.dll
mpr.dll oleaut32.dll shell32.dll user32.dll wininet.dll winmm.dll ws2_32.dll"
win7='{35138b9a-5d96-4fbd-8e2d-a2440225f93a}'
win10='{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'

check_program() {
    local exe=$folder/$1 level=$2 manifest
    [ -f "$exe" ] || fail "no $exe"
    manifest=$(wrestool -x --raw -t 24 -n 1 "$exe")
    for wanted in "level=\"$level\"" "<dpiAware" ">true</dpiAware>" "$win7" "$win10" \
        'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "version=\"$version.0\""; do
        grep -qF "$wanted" <<<"$manifest" || fail "$1: the manifest lacks $wanted"
    done

    local strings
    strings=$(wrestool -x --raw -t 16 "$exe" | strings -el)
    for wanted in CompanyName QuindarSoft ProductName "$major, $minor, $patch, 0"; do
        grep -qxF "$wanted" <<<"$strings" || fail "$1: the version resource lacks $wanted"
    done

    wrestool -x -t 14 -n 128 "$exe" >"$work/icon.ico" || fail "$1: no program icon"
    local sizes
    sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ')
    [ "$sizes" = "16 32 48 256 " ] || fail "$1: program icon sizes $sizes"

    local dll
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        tr ' ' '\n' <<<"$system_dlls" | grep -qxF "$dll" || fail "$1 imports $dll, which Windows does not ship"
    done
    echo "ok: $1 ($level)"
}

work=$(mktemp -d /tmp/filvane-programs.XXXXXX)
trap 'rm -rf "$work"' EXIT
check_program Filvane.exe requireAdministrator
check_program corvap.exe requireAdministrator
check_program brenvik.exe asInvoker
