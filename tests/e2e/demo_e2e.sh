#!/usr/bin/env bash
# The demo as a newcomer runs it, without a display: the real lists show both
# demo users' sessions and open files, an open comes and goes, and the day
# file is written. Stopped by Ctrl-C (first run, which also fills a prefix
# cache) and by closing Filvane (second run, from that cache), it leaves none
# of its processes and none of its folders behind.
#   demo_e2e.sh LINUX_BUILD_DIR
# Needs root and a free 127.0.0.1:445.
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
if [ -n "$(ss -Hltn 'sport = :445')" ]; then echo "SKIP: port 445 busy"; exit 77; fi

WDRIVE=$build/tests/support/wdrive.exe.so
source "$here/filvane_wine.sh"
source "$here/demo_window.sh"
source "$here/demo_cleanup.sh"
check=$(mktemp -d /tmp/filvane-demo-check.XXXXXX)
demo_group=
finish() {
  set +e
  if [ -n "$demo_group" ]; then
    kill -TERM -- "-$demo_group" 2>/dev/null
    wait "$demo_group" 2>/dev/null
  fi
  rm -rf "$check"
}
trap finish EXIT
fail() {
  echo "FAIL: $*"
  sed 's/^/  demo: /' "$check/demo.log"
  exit 1
}

# Waits for the demo to be ready, then learns its folder and display; wd
# reaches its windows through its Wine prefix.
start_demo() {
  unset DISPLAY WINEPREFIX
  bash "$root/scripts/demo.sh" --cache-prefix </dev/null >"$check/demo.log" 2>&1 &
  demo_group=$!
  for _ in $(seq 600); do
    grep -q '^Ctrl-C' "$check/demo.log" && break
    kill -0 "$demo_group" 2>/dev/null || fail "the demo ended before Filvane ran"
    sleep 0.5
  done
  grep -q '^Ctrl-C' "$check/demo.log" || fail "Filvane did not start within 5 minutes"
  demo=$(sed -n 's/^demo folder: //p' "$check/demo.log")
  DISPLAY=$(sed -n 's/^display: //p' "$check/demo.log")
  export DISPLAY WINEPREFIX=$demo/wine
  socket=$(wine_socket_folder "$WINEPREFIX")
  [ -n "$socket" ] || fail "no Wine server socket folder for $WINEPREFIX"
}

wait_until_gone() {  # wait_until_gone LIST_ID PATTERN SECONDS
  local deadline=$((SECONDS + $3))
  while [ "$SECONDS" -lt "$deadline" ]; do
    wd cells "$MAIN_TITLE" "$1" | grep -P "$2" >/dev/null || return 0
    sleep 0.5
  done
  return 1
}

check_lists() {
  wait_for_rows 1000 1 60 '^daemon\t127\.0\.0\.1\t1\t' || fail "no session of daemon"
  wait_for_rows 1000 1 30 '^bin\t127\.0\.0\.1\t' || fail "no session of bin"
  wait_for_rows 1001 1 30 '\\公共\\年度报告\.txt\tdaemon\t读取\t' || fail "daemon's open file is not listed"
  wait_for_rows 1001 1 30 '\\docs\\计划\.txt\tbin\t' || fail "bin's open file is not listed"
  wait_for_rows 1001 1 30 '\\docs\\notes\.txt\tbin\t' || fail "the coming and going open never came"
  wait_until_gone 1001 'notes\.txt' 30 || fail "the coming and going open never went"
}

# Waits for the demo to end by itself after the given stop.
wait_for_demo_end() {
  for _ in $(seq 120); do
    kill -0 "$demo_group" 2>/dev/null || break
    sleep 0.5
  done
  kill -0 "$demo_group" 2>/dev/null && fail "the demo still runs a minute after $1"
  wait "$demo_group" || true
  demo_group=
  grep -q '^demo stopped' "$check/demo.log" || fail "the demo did not clean up after $1"
}

check_nothing_left() {
  local left
  left=$(marked_processes "FILVANE_DEMO_DIR=$demo")
  [ -z "$left" ] || fail "processes left after $1: $(ps -o pid=,args= -p "${left//$'\n'/,}")"
  [ ! -e "$demo" ] || fail "$demo left after $1"
  [ ! -e "$socket" ] || fail "the Wine server's socket folder $socket left after $1"
  [ ! -e "/tmp/.X${DISPLAY#:}-lock" ] || fail "the X server of $DISPLAY left after $1"
}

export FILVANE_BUILD_DIR=$build FILVANE_DEMO_CACHE=$check/cache LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
# Job control: the demo gets a process group of its own, as in a terminal,
# and Ctrl-C reaches all of it.
set -m

start_demo
check_lists
for _ in $(seq 40); do
  ls "$demo"/work/*.dat >/dev/null 2>&1 && break
  sleep 0.5
done
ls "$demo"/work/*.dat >/dev/null 2>&1 || fail "logging is on, yet no day file in $demo/work"
kill -INT -- "-$demo_group"
wait_for_demo_end Ctrl-C
check_nothing_left Ctrl-C
ls "$check"/cache/*/system.reg >/dev/null 2>&1 || fail "no Wine prefix in the cache"

start_demo
grep -q 'preparing a Wine prefix' "$check/demo.log" && fail "the cached prefix was not used"
check_lists
wd close "$MAIN_TITLE"
wait_for_demo_end "closing Filvane"
check_nothing_left "closing Filvane"
echo "PASS: the demo shows live activity and stops cleanly"
