#!/usr/bin/env bash
# Something for Filvane to watch: a private smbd on 127.0.0.1 (samba_server.sh)
# and a client that keeps two users' files open and opens and closes one more
# every few seconds. Used by the demo, its check and the package check.
#
#   demo_activity.sh start DIR   server in DIR, client in the background
#   demo_activity.sh stop DIR    stops the client and the server
#
# The client (its own process group, id in DIR/client.pid):
#   daemon holds 公共/年度报告.txt open (read);
#   bin holds docs/计划.txt open (read and write);
#   bin opens docs/notes.txt for 4 s, then leaves it closed for 4 s, again and again.
# Needs root and a free 127.0.0.1:445.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

die() { echo "demo_activity.sh: $*" >&2; exit 1; }

# Holds URLs open as one user until killed; starts again when the holder's own
# 300 s limit ends it, so a long demo keeps its opens.
keep_open() {  # keep_open DIR TAG USER PASSWORD MODE URL...
  local dir=$1 tag=$2
  while true; do
    "$dir/samba_hold" "$3" "$4" "$5" "$dir/ready.$tag" "$dir/release.$tag" "${@:6}" >>"$dir/log/client.log" 2>&1 || sleep 1
  done
}

client() {
  local dir=$1
  keep_open "$dir" report daemon Filv-pw1 r 'smb://127.0.0.1/公共/年度报告.txt' &
  keep_open "$dir" plan bin Filv-pw2 rw 'smb://127.0.0.1/docs/计划.txt' &
  while true; do
    rm -f "$dir/release.notes"
    "$dir/samba_hold" bin Filv-pw2 r "$dir/ready.notes" "$dir/release.notes" 'smb://127.0.0.1/docs/notes.txt' \
      >>"$dir/log/client.log" 2>&1 &
    sleep 4
    touch "$dir/release.notes"
    wait $! || true
    sleep 4
  done
}

start() {
  local dir=$1
  "$here/samba_server.sh" start "$dir"
  local shares=$dir/shares
  echo "年度报告" >"$shares/公共/年度报告.txt"
  echo "plan" >"$shares/docs/计划.txt"
  echo "notes" >"$shares/docs/notes.txt"
  chmod 666 "$shares"/*/*.txt
  # smbd opens the files as the demo users: every folder above must let them through.
  if ! runuser -u daemon -- test -r "$shares/公共/年度报告.txt"; then
    "$here/samba_server.sh" stop "$dir"
    die "the demo user daemon cannot reach $shares (a parent folder is closed to others)"
  fi
  # A session of its own, so stopping it ends every holder it started.
  setsid bash "$0" client "$dir" </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/client.pid"
}

stop() {
  local dir=$1 group
  if group=$(cat "$dir/client.pid" 2>/dev/null); then
    kill -TERM -- "-$group" 2>/dev/null || true
    for _ in $(seq 100); do
      kill -0 -- "-$group" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$group" 2>/dev/null || true
    rm -f "$dir/client.pid"
  fi
  "$here/samba_server.sh" stop "$dir"
}

[ $# -eq 2 ] || die "usage: demo_activity.sh start|stop DIR"
case $1 in
  start) start "$(realpath -m "$2")" ;;
  stop) stop "$(realpath -m "$2")" ;;
  client) client "$2" ;;
  *) die "usage: demo_activity.sh start|stop DIR" ;;
esac
