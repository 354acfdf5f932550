#!/usr/bin/env bash
# Filvane's update check against a local version server: a newer version is
# announced and, after OK, the program quits as the quit command does; an
# older one shows nothing and the program runs on.
set -u
FILVANE=$1 WDRIVE=$2
here=$(dirname "$0")
source "$here/filvane_wine.sh"
work=$(mktemp -d /tmp/filvane-update.XXXXXX)
python3 "$here/update_server.py" "$work/port" &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "version server did not start"
base="http://127.0.0.1:$(cat "$work/port")"

FILVANE_SERVER=$base/v52 start_filvane
wd wait Filvane 20000 || fail "no announcement of 5.2"
[ "$(wd text Filvane)" = "已推出最新的5.2版本,请到软件主页下载使用最新版本!" ] || fail "announcement: $(wd text Filvane)"
wd command Filvane 1
wd gone "$MAIN_TITLE" 15000 || fail "the program did not quit after the announcement"
wait "$FILVANE_PID" || fail "Filvane exited with $? after the announcement"

FILVANE_SERVER=$base/v50 start_filvane
wd wait Filvane 5000 && fail "5.0 was announced: $(wd text Filvane)"
quit_filvane
echo "PASS: update check"
