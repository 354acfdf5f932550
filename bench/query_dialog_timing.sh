#!/usr/bin/env bash
# Time from the click on 查询 to the filled session-log box, through the real
# log query dialog under Wine (Xvfb when there is no display), over a day of
# ENTRIES entries of ten session records each (about 500 characters).
#
#   bench/query_dialog_timing.sh PATH/monitor_window_tests.exe.so [ENTRIES] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
entries=${2:-100000}
runs=${3:-3}
FILVANE_QUERY_ENTRIES=$entries "$here/../tests/run_wine.sh" "$tests" \
    --gtest_filter='QueryWindow.ListsEveryEntryOfABusyDay' --gtest_repeat="$runs" |
    grep -E '^query dialog|FAILED|Failure' || true
