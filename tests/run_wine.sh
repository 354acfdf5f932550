#!/usr/bin/env bash
# Runs one Win32 program (Winelib .exe.so or PE .exe) in a fresh Wine setup.
exec "$(dirname "$0")/with_wine.sh" wine "$@"
