#!/usr/bin/env bash
# brenvik against a /24 where every address answers at once (the routed
# network of brenvik_peer.sh): the queries go out in one burst and 254
# answers come back together; every one of them must be listed.
#
#   brenvik_every_host_e2e.sh PATH/brenvik_window_tests.exe.so
#
# Exit 77 (skip) without root or network namespaces.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
dir=$(mktemp -d /tmp/brenvik-every.XXXXXX)
cleanup() {
    "$here/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
"$here/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
"$here/brenvik_peer.sh" route "$dir"
# shellcheck source=/dev/null
. "$dir/peer.env"
"$here/brenvik_peer.sh" respond "$dir" $(seq 1 254)

ip neigh flush dev bvk-host
out=$(BRENVIK_TIMED_NETWORK=$ROUTED_NET BRENVIK_TIMED_TIMEOUT_MS=1000 \
    "$here/../run_wine.sh" "$tests" --gtest_filter='*TimedScan*')
echo "$out"
grep -q "^brenvik scan $ROUTED_NET.1-.254 timeout 1000 ms: [0-9]* ms, 254 rows$" <<<"$out" ||
    { echo "FAIL: every answering address is expected in the list" >&2; exit 1; }
echo "brenvik every-host e2e: all 254 answers listed"
