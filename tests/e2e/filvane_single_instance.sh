#!/usr/bin/env bash
# Starting Filvane twice: the second copy refuses with its message and exits
# 0 while the first runs on; once the first is closed a new start succeeds.
# One for another server runs beside it, under a title naming that server and
# in a folder of that server's name; a second one for that server, however
# spelt, refuses as well. A name that is none is refused with a box.
set -u
FILVANE=$1 WDRIVE=$2
source "$(dirname "$0")/filvane_wine.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || fail "no working folder"

# Answers the refusal box of a copy started with "$@" and checks its text
# and exit code.
expect_refusal() {
  local expected=$1 code=$2
  shift 2
  wine "$FILVANE" "$@" &
  local copy=$!
  wd wait Filvane 20000 || fail "no box for $*"
  local text
  text=$(wd text Filvane)
  [ "$text" = "$expected" ] || fail "a copy for '$*' said: $text"
  wd command Filvane 1  # OK
  wait "$copy"
  local rc=$?
  [ "$rc" -eq "$code" ] || fail "a copy for '$*' exited with $rc"
}

already="已经运行了一个Zelqo共享文件监控器!"
start_filvane
expect_refusal "$already" 0
wd wait "$MAIN_TITLE" 1000 || fail "the first copy did not run on"

# Loopback as the other server: nothing leaves this machine.
remote_title="$MAIN_TITLE - \\\\127.0.0.1"
wine "$FILVANE" '\\127.0.0.1' &
remote=$!
wd wait "$ABOUT_TITLE" 30000 || fail "no about box for the other server"
wd close "$ABOUT_TITLE"
wd wait "$remote_title" 20000 || fail "no window titled for the other server"
[ -d 127.0.0.1 ] || fail "no folder for the other server's logs"
expect_refusal "$already" 0 127.0.0.1
wd wait "$MAIN_TITLE" 1000 || fail "the local copy ended with the other server's"
expect_refusal "“no such/name”不是可以监控的服务器名。请给出一个计算机名(前面可加两个反斜杠)或 IPv4 地址,例如 FILESRV 或 192.168.1.10。" 1 "no such/name"
# Nothing answers for that server here: its failures are logged in its own
# folder.
for _ in $(seq 50); do [ -s 127.0.0.1/vlerror.log ] && break; sleep 0.2; done
[ -s 127.0.0.1/vlerror.log ] || fail "the other server's failures are not logged in its folder"
wd close "$remote_title"
wait "$remote" || fail "the other server's copy exited with $?"
quit_filvane

start_filvane  # the mutex went with the first copy
quit_filvane
echo "PASS: single instance"
