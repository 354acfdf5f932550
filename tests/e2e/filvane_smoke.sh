#!/usr/bin/env bash
# The program starts, shows its about box and main window, and closes cleanly.
set -u
FILVANE=$1 WDRIVE=$2
source "$(dirname "$0")/filvane_wine.sh"
start_filvane
quit_filvane
echo "PASS: starts and closes"
