#!/usr/bin/env bash
# Scan time of a whole /24 with every address answering and with none, by
# brenvik and by nbtscan. The 254 answering addresses are 10.213.78.1-254
# on the namespace's loopback, routed only to the test namespace's veth;
# one responder socket per address.
#
#   brenvik_scan_timing.sh PATH/brenvik_window_tests.exe.so [TIMEOUT_MS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
timeout_ms=${2:-1000}
readonly NET=10.213.78
dir=$(mktemp -d /tmp/brenvik-timing.XXXXXX)
responder_pid=
cleanup() {
    [ -n "$responder_pid" ] && kill "$responder_pid" 2>/dev/null && wait "$responder_pid" 2>/dev/null
    ip route del "$NET.0/24" 2>/dev/null || true
    "$here/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
ip route show "$NET.0/24" | grep -q . && { echo "$NET.0/24 is already routed here"; exit 1; }
"$here/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
# shellcheck source=/dev/null
. "$dir/peer.env"
for i in $(seq 1 254); do echo "addr add $NET.$i/32 dev lo"; done | ip -n "$PEER_NS" -batch -
ip route add "$NET.0/24" via "$PEER_ADDR" dev bvk-host

scan() {
    BRENVIK_TIMED_NETWORK=$NET BRENVIK_TIMED_TIMEOUT_MS=$1 \
        "$here/../run_wine.sh" "$tests" --gtest_filter='*TimedScan*' | grep '^brenvik scan'
}
nbt() {
    local start end
    start=$(date +%s%N)
    local n
    n=$(nbtscan -q "$NET.1-254" | grep -c "^$NET" || true)
    end=$(date +%s%N)
    echo "nbtscan $NET.1-254: $(((end - start) / 1000000)) ms, $n answers"
}

ip netns exec "$PEER_NS" python3 "$here/brenvik_responder.py" HOST BVKGROUP 02:00:00:00:00:01 \
    $(seq -f "$NET.%g" 1 254) >"$dir/responder.out" 2>&1 &
responder_pid=$!
for _ in $(seq 1 50); do grep -q ready "$dir/responder.out" && break; sleep 0.1; done
echo "== every address answering"
scan "$timeout_ms"
nbt
kill "$responder_pid"; wait "$responder_pid" 2>/dev/null || true; responder_pid=
# nmbd's wildcard socket would answer some of the addresses too.
kill "$(cat "$dir/run/nmbd.pid")"
echo "== no address answering"
scan 100
nbt
