#!/usr/bin/env bash
# brenvik against real NetBIOS peers in a namespace of its own: nmbd at .2,
# a responder that sends the veth's MAC as its unit ID at .3 (nmbd sends
# zeros), nothing at .4 and .5. The window test scans 10.213.77.1 to .6 and
# saves its report; this script checks the rows against nmblookup and
# nbtscan on the same hosts, and the report byte for byte.
#
#   brenvik_e2e.sh PATH/brenvik_window_tests.exe.so
#
# Exit 77 (skip) without root or network namespaces.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
dir=$(mktemp -d /tmp/brenvik-e2e.XXXXXX)
responder_pid=
cleanup() {
    [ -n "$responder_pid" ] && kill "$responder_pid" 2>/dev/null && wait "$responder_pid" 2>/dev/null
    "$here/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
"$here/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
# shellcheck source=/dev/null
. "$dir/peer.env"

fail() { echo "FAIL: $*" >&2; exit 1; }

readonly RESP_ADDR=10.213.77.3 RESP_HOST=BVKRESP
ip -n "$PEER_NS" addr add "$RESP_ADDR/24" dev bvk-peer
ip netns exec "$PEER_NS" python3 "$here/brenvik_responder.py" "$RESP_HOST" "$PEER_GROUP" "$PEER_MAC" "$RESP_ADDR" \
    >"$dir/responder.out" 2>&1 &
responder_pid=$!
for _ in $(seq 1 50); do grep -q ready "$dir/responder.out" && break; sleep 0.1; done
grep -q ready "$dir/responder.out" || fail "responder did not start: $(cat "$dir/responder.out")"

# What the standard tools see on the same hosts.
nmb=$(nmblookup -A "$PEER_ADDR")
echo "$nmb"
echo "$nmb" | grep -Eq "^\s+$PEER_HOST\s+<00> -\s+B" || fail "nmblookup: no host name $PEER_HOST"
echo "$nmb" | grep -Eq "^\s+$PEER_GROUP\s+<00> - <GROUP>" || fail "nmblookup: no workgroup $PEER_GROUP"
echo "$nmb" | grep -q "MAC Address = 00-00-00-00-00-00" || fail "nmbd's unit ID is expected to be zero"
nbt=$(nbtscan -q "$PEER_ADDR")
echo "$nbt"
echo "$nbt" | grep -Eq "^$PEER_ADDR\s+$PEER_HOST\s" || fail "nbtscan: $nbt"
resp=$(nmblookup -A "$RESP_ADDR")
echo "$resp"
mac_dash=$(echo "$PEER_MAC" | tr 'a-f:' 'A-F-')
echo "$resp" | grep -q "MAC Address = $mac_dash" || fail "nmblookup: responder MAC is not the veth's $PEER_MAC"
nbtscan -q "$RESP_ADDR" | grep -qi "$PEER_MAC" || fail "nbtscan: responder MAC"

# With a zero unit ID the MAC column shows the hex of the last name entry up
# to its first space, cut to 17 characters.
last_name=$(echo "$nmb" | awk '/<..>/ {n=$1} END {print n}')
nmbd_mac_column=$(printf '%s' "$last_name" | od -An -tx1 | tr -s ' \n' '.' | sed 's/^\.//' | cut -c1-17)
resp_mac_column=$(echo "$PEER_MAC" | tr ':' '.')

report_unix="$dir/report.txt"
export BRENVIK_PEER_ADDR=$PEER_ADDR BRENVIK_PEER_HOST=$PEER_HOST BRENVIK_PEER_GROUP=$PEER_GROUP
export BRENVIK_PEER_MAC_COLUMN=$nmbd_mac_column
export BRENVIK_RESPONDER_ADDR=$RESP_ADDR BRENVIK_RESPONDER_HOST=$RESP_HOST BRENVIK_RESPONDER_MAC=$resp_mac_column
export BRENVIK_REPORT="Z:${report_unix//\//\\}"
"$here/../run_wine.sh" "$tests" --gtest_filter='*Peer*' --gtest_also_run_disabled_tests
[ -s "$report_unix" ] || fail "no report written"

# The report: header, then the four rows the test's scans left, each padded
# to 17/14/14/17 bytes (one space at least) and followed by CR LF CR LF.
pad() { local w=$2; if [ ${#1} -ge "$w" ]; then printf '%s ' "$1"; else printf "%-${w}s" "$1"; fi; }
row() { pad "$1" 17; pad "$2" 14; pad "$3" 14; pad "$4" 17; printf '\r\n\r\n'; }
{
    printf 'IP\xb5\xd8\xd6\xb7           \xb9\xa4\xd7\xf7\xd7\xe9        \xd6\xf7\xbb\xfa          MAC\xb5\xd8\xd6\xb7\r\n\r\n'
    row "$PEER_ADDR" "$PEER_GROUP" "$PEER_HOST" "$nmbd_mac_column"
    row "$RESP_ADDR" "$PEER_GROUP" "$RESP_HOST" "$resp_mac_column"
    row "$PEER_ADDR" "$PEER_GROUP" "$PEER_HOST" "$nmbd_mac_column"
    row "$RESP_ADDR" "$PEER_GROUP" "$RESP_HOST" "$resp_mac_column"
} >"$dir/expected.txt"
cmp "$dir/expected.txt" "$report_unix" || { od -c "$report_unix" | head -20; fail "report differs"; }
echo "brenvik e2e: rows agree with nmblookup and nbtscan; report matches byte for byte"
