#!/usr/bin/env bash
# The controls that could show the log query's session-log box, under Wine:
# the time each takes to show a busy day of ENTRIES entries (ten session
# records each) in the box's place and size, and to select all of it.
#
#   bench/query_box_candidates.sh PATH/monitor_window_tests.exe.so [ENTRIES] [CANDIDATES]
#
# CANDIDATES is a comma-separated list of edit, edit-wrap, richedit,
# richedit-wrap, listview and logview (default: all).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
FILVANE_QUERY_ENTRIES=${2:-100000} FILVANE_QUERY_CANDIDATES=${3:-edit,edit-wrap,richedit,richedit-wrap,listview,logview} \
    "$here/../tests/run_wine.sh" "$tests" --gtest_filter='QueryWindow.TimedBoxCandidates' |
    grep -E '^box candidate|FAILED|Failure' || true
