#!/usr/bin/env bash
# Starting Filvane twice: the second copy refuses with its message and exits
# 0 while the first runs on; once the first is closed a new start succeeds.
set -u
FILVANE=$1 WDRIVE=$2
source "$(dirname "$0")/filvane_wine.sh"

start_filvane
wine "$FILVANE" &
second=$!
wd wait Filvane 20000 || fail "the second copy showed no message"
text=$(wd text Filvane)
[ "$text" = "已经运行了一个Zelqo共享文件监控器!" ] || fail "second copy said: $text"
wd command Filvane 1  # OK
wait "$second"; rc=$?
[ "$rc" -eq 0 ] || fail "second copy exited with $rc"
wd wait "$MAIN_TITLE" 1000 || fail "the first copy did not run on"
quit_filvane

start_filvane  # the mutex went with the first copy
quit_filvane
echo "PASS: single instance"
