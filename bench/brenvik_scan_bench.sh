#!/usr/bin/env bash
# Scan time of a /24 by brenvik and by nbtscan, in one run, in the test
# namespace of tests/e2e/brenvik_peer.sh (root, ip netns, nmbd, nbtscan, Wine;
# under Xvfb when there is no display):
#   on-link     10.213.77.1-254 on the veth: five hosts answer, the other
#               addresses are silent (their address resolution fails, which
#               holds the queries to them in the stack for three seconds)
#   routed      10.213.78.1-254 on the namespace's loopback, routed over the
#               veth: every address answering; five answering; none
#               answering at a 100 ms timeout
# brenvik is the real window driven in-process: Start clicked, time until
# "-----检测完毕!-----". Each case runs REPEAT times (default 3).
#
#   brenvik_scan_bench.sh PATH/brenvik_window_tests.exe.so [REPEAT]
set -euo pipefail
e2e=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
tests=$1
repeat=${2:-3}
readonly ROUTED=10.213.78
dir=$(mktemp -d /tmp/brenvik-bench.XXXXXX)
responder_pid=
cleanup() {
    [ -n "$responder_pid" ] && kill "$responder_pid" 2>/dev/null && wait "$responder_pid" 2>/dev/null
    ip route del "$ROUTED.0/24" 2>/dev/null || true
    "$e2e/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
ip route show "$ROUTED.0/24" | grep -q . && { echo "$ROUTED.0/24 is already routed here"; exit 1; }
"$e2e/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
# shellcheck source=/dev/null
. "$dir/peer.env"

# Every scan starts with no neighbour entries, as on a quiet network.
fresh() { ip neigh flush dev bvk-host; }
brenvik() {  # NETWORK TIMEOUT_MS
    fresh
    # Another brenvik (a test elsewhere on this machine) may hold its port.
    for _ in $(seq 1 60); do ss -uan | grep -q ':4321 ' || break; sleep 1; done
    BRENVIK_TIMED_NETWORK=$1 BRENVIK_TIMED_TIMEOUT_MS=$2 timeout 600 \
        "$e2e/../run_wine.sh" "$tests" --gtest_filter='*TimedScan*' | grep '^brenvik scan' || echo "brenvik: no result"
}
nbtscan_time() {  # NETWORK TIMEOUT_MS
    fresh
    local start end n
    start=$(date +%s%N)
    n=$(nbtscan -q -t "$2" "$1.1-254" | grep -c "^$1" || true)
    end=$(date +%s%N)
    echo "nbtscan $1.1-254 timeout $2 ms: $(((end - start) / 1000000)) ms, $n answers"
}
measure() {  # NETWORK TIMEOUT_MS
    for _ in $(seq 1 "$repeat"); do
        nbtscan_time "$1" "$2"
        brenvik "$1" "$2"
    done
}

respond() {  # LAST_OCTET...: a responder on those routed addresses
    local specs=() i
    for i in "$@"; do specs+=("$ROUTED.$i,HOST$i,BVKGROUP,02:00:00:00:01:$(printf %02x "$i")"); done
    ip netns exec "$PEER_NS" python3 "$e2e/brenvik_responder.py" "${specs[@]}" >"$dir/routed.out" 2>&1 &
    responder_pid=$!
    for _ in $(seq 1 50); do grep -q ready "$dir/routed.out" && break; sleep 0.1; done
}
quiet() { kill "$responder_pid"; wait "$responder_pid" 2>/dev/null || true; responder_pid=; }

echo "== on-link: five hosts answering, the rest silent, timeout 1000 ms"
measure "$PEER_NET" 1000

for i in $(seq 1 254); do echo "addr add $ROUTED.$i/32 dev lo"; done | ip -n "$PEER_NS" -batch -
ip route add "$ROUTED.0/24" via "$PEER_ADDR" dev bvk-host
# nmbd's wildcard socket would answer the routed addresses.
kill "$(cat "$dir/run/nmbd.pid")"
respond $(seq 1 254)
echo "== routed: every address answering, timeout 1000 ms"
measure "$ROUTED" 1000
quiet
respond 2 3 77 128 254
echo "== routed: five hosts answering, the rest silent, timeout 1000 ms"
measure "$ROUTED" 1000
quiet
echo "== routed: no address answering, timeout 100 ms"
measure "$ROUTED" 100
