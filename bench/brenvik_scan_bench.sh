#!/usr/bin/env bash
# Scan time of a /24 by brenvik and by nbtscan, side by side, in the test
# namespace of tests/e2e/brenvik_peer.sh (root, ip netns, nmbd, nbtscan, Wine;
# under Xvfb when there is no display):
#   on-link     10.213.77.1-254 on the veth: five hosts answer, the other
#               addresses are silent (their address resolution fails, which
#               holds the queries to them in the stack for three seconds)
#   routed      10.213.78.1-254 on the namespace's loopback, routed over the
#               veth: every address answering; five answering; none
#               answering at a 100 ms timeout
# brenvik is the real window driven in-process: Start clicked, time until
# "-----检测完毕!-----". Each case runs REPEAT times (default 5), nbtscan and
# brenvik one after the other, and ends with the spread of both and of
# their ratio. Datagrams the kernel dropped for a full receive buffer are
# counted on both sides: answers at brenvik's socket, queries at the
# responders'. The load average is printed before and after. CASE limits
# the run to one case: on-link, every, five or none.
#
#   brenvik_scan_bench.sh PATH/brenvik_window_tests.exe.so [REPEAT [CASE]]
set -euo pipefail
e2e=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
tests=$1
repeat=${2:-5}
only=${3:-}
dir=$(mktemp -d /tmp/brenvik-bench.XXXXXX)
cleanup() {
    "$e2e/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
"$e2e/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
# shellcheck source=/dev/null
. "$dir/peer.env"

# UDP receive-buffer drops so far, here or in the peers' namespace.
drops() { "$@" awk '$1 == "Udp:" && $6 ~ /^[0-9]+$/ { print $6 }' /proc/net/snmp; }
local_drops() { drops; }
peer_drops() { drops ip netns exec "$PEER_NS"; }

# Every scan starts with no neighbour entries, as on a quiet network.
fresh() { ip neigh flush dev bvk-host; }
brenvik_ms() {  # NETWORK TIMEOUT_MS: "MS ROWS"
    fresh
    # Another brenvik (a test elsewhere on this machine) may hold its port.
    for _ in $(seq 1 60); do ss -uan | grep -q ':4321 ' || break; sleep 1; done
    BRENVIK_TIMED_NETWORK=$1 BRENVIK_TIMED_TIMEOUT_MS=$2 timeout 600 \
        "$e2e/../run_wine.sh" "$tests" --gtest_filter='*TimedScan*' 2>/dev/null |
        sed -n 's/^brenvik scan .*: \([0-9]*\) ms, \([0-9]*\) rows$/\1 \2/p' | grep . || echo "- -"
}
nbtscan_ms() {  # NETWORK TIMEOUT_MS: "MS ANSWERS"
    fresh
    local start end n
    start=$(date +%s%N)
    n=$(nbtscan -q -t "$2" "$1.1-254" | grep -c "^$1" || true)
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $n"
}
measure() {  # NETWORK TIMEOUT_MS
    local i n b local_before peer_before
    printf '%-4s %18s %18s %7s  %s\n' run "nbtscan" "brenvik" ratio "buffer drops (brenvik/peers)"
    for i in $(seq 1 "$repeat"); do
        read -r -a n <<<"$(nbtscan_ms "$1" "$2")"
        local_before=$(local_drops) peer_before=$(peer_drops)
        read -r -a b <<<"$(brenvik_ms "$1" "$2")"
        printf '%-4s %7s ms %3s ans %7s ms %3s rows %7s  %s/%s\n' "$i" "${n[0]}" "${n[1]}" "${b[0]}" "${b[1]}" \
            "$(awk -v b="${b[0]}" -v n="${n[0]}" 'BEGIN { if (b + 0 > 0) printf "%.2f", b / n; else print "-" }')" \
            "$(($(local_drops) - local_before))" "$(($(peer_drops) - peer_before))"
    done | tee "$dir/runs"
    awk 'function span(lo, hi, unit) { return lo == hi ? lo unit : lo " to " hi unit }
         { n[NR] = $2; b[NR] = $6; r[NR] = $10 }
         END {
             nl = nh = n[1]; bl = bh = b[1]; rl = rh = r[1]
             for (i = 2; i <= NR; i++) {
                 if (n[i] < nl) nl = n[i]; if (n[i] > nh) nh = n[i]
                 if (b[i] < bl) bl = b[i]; if (b[i] > bh) bh = b[i]
                 if (r[i] < rl) rl = r[i]; if (r[i] > rh) rh = r[i]
             }
             printf "spread: nbtscan %s, brenvik %s, ratio %s\n", span(nl, nh, " ms"), span(bl, bh, " ms"), span(rl, rh, "")
         }' "$dir/runs"
}

wanted() { [ -z "$only" ] || [ "$only" = "$1" ]; }

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
if wanted on-link; then
    echo "== on-link: five hosts answering, the rest silent, timeout 1000 ms"
    measure "$PEER_NET" 1000
fi

"$e2e/brenvik_peer.sh" route "$dir"
# shellcheck source=/dev/null
. "$dir/peer.env"
if wanted every; then
    "$e2e/brenvik_peer.sh" respond "$dir" $(seq 1 254)
    echo "== routed: every address answering, timeout 1000 ms"
    measure "$ROUTED_NET" 1000
fi
if wanted five; then
    "$e2e/brenvik_peer.sh" respond "$dir" 2 3 77 128 254
    echo "== routed: five hosts answering, the rest silent, timeout 1000 ms"
    measure "$ROUTED_NET" 1000
fi
if wanted none; then
    "$e2e/brenvik_peer.sh" respond "$dir"
    echo "== routed: no address answering, timeout 100 ms"
    measure "$ROUTED_NET" 100
fi
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
