#!/usr/bin/env bash
# Runs the update-check window tests against a local version server, and
# against a loopback port where nothing listens. Run inside with_wine.sh.
set -eu
exe=$1
here=$(dirname "$0")
work=$(mktemp -d /tmp/filvane-update.XXXXXX)
python3 "$here/update_server.py" "$work/port" &
server=$!
cleanup() { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "version server did not start"; exit 1; }
# A port that was free a moment ago: nothing answers there.
dead=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
export FILVANE_TEST_HTTP="http://127.0.0.1:$(cat "$work/port")"
export FILVANE_TEST_DEAD="http://127.0.0.1:$dead"
wine "$exe" --gtest_filter='UpdateCheck*'
