#!/usr/bin/env bash
# brenvik against real NetBIOS peers in a namespace of its own (see
# brenvik_peer.sh): on 10.213.77.0/24 nmbd and four responders answer, some
# of them late, and every other address is silent. The window test scans
# .1 to .254 at a 1,000 ms timeout, saves its report and stops a second scan
# halfway; this script checks the report byte for byte against what nbtscan
# finds on the same /24.
#
#   brenvik_e2e.sh PATH/brenvik_window_tests.exe.so
#
# Exit 77 (skip) without root or network namespaces.
set -euo pipefail
export LC_ALL=C  # names are compared and padded as bytes
here=$(cd "$(dirname "$0")" && pwd)
tests=$1
dir=$(mktemp -d /tmp/brenvik-e2e.XXXXXX)
cleanup() {
    "$here/brenvik_peer.sh" stop "$dir"
    rm -rf "$dir"
}
"$here/brenvik_peer.sh" start "$dir" || exit $?
trap cleanup EXIT
# shellcheck source=/dev/null
. "$dir/peer.env"

fail() { echo "FAIL: $*" >&2; exit 1; }

# nmbd leaves its unit ID zero, as nmblookup shows.
nmb=$(nmblookup -A "$PEER_ADDR")
echo "$nmb"
echo "$nmb" | grep -q "MAC Address = 00-00-00-00-00-00" || fail "nmbd's unit ID is expected to be zero"

# What nbtscan finds on the same addresses: per host its first unique <00>
# name, its first group <00> name and its MAC.
nbtscan -v -s : -t 1000 "$PEER_NET.1-254" 2>/dev/null >"$dir/nbtscan.txt" || true
awk -F: '
    $3 == "00U" && !($1 in host) { n = $2; sub(/ +$/, "", n); host[$1] = n }
    $3 == "00G" && !($1 in group) { n = $2; sub(/ +$/, "", n); group[$1] = n }
    $2 == "MAC" { mac[$1] = tolower($3 "." $4 "." $5 "." $6 "." $7 "." $8) }
    END { for (ip in mac) print ip "\t" group[ip] "\t" host[ip] "\t" mac[ip] }
' "$dir/nbtscan.txt" | sort -t. -k4,4n >"$dir/hosts.tsv"
sed 's/^/nbtscan: /' "$dir/hosts.tsv"
[ "$(wc -l <"$dir/hosts.tsv")" -eq 5 ] || fail "nbtscan is expected to find the five peers"
grep -q "^$PEER_ADDR	$PEER_GROUP	$PEER_HOST	00.00.00.00.00.00$" "$dir/hosts.tsv" || fail "nbtscan: nmbd"

# The report: header, then a row per host in address order, each field
# padded to 17/14/14/17 bytes (one space at least), CR LF CR LF after it. A
# name that fills its 15-byte field keeps the flag byte above 0x20 that
# follows it: 0x84 for a group.
pad() { if [ ${#1} -ge "$2" ]; then printf '%s ' "$1"; else printf "%-$2s" "$1"; fi; }
{
    printf 'IP\xb5\xd8\xd6\xb7           \xb9\xa4\xd7\xf7\xd7\xe9        \xd6\xf7\xbb\xfa          MAC\xb5\xd8\xd6\xb7\r\n\r\n'
    while IFS=$'\t' read -r ip group host mac; do
        [ ${#group} -eq 15 ] && group+=$'\x84'
        pad "$ip" 17; pad "$group" 14; pad "$host" 14; pad "$mac" 17; printf '\r\n\r\n'
    done <"$dir/hosts.tsv"
} >"$dir/expected.txt"

report_unix="$dir/report.txt"
BRENVIK_PEER_NET=$PEER_NET BRENVIK_PEER_ROWS=$(wc -l <"$dir/hosts.tsv") BRENVIK_REPORT="Z:${report_unix//\//\\}" \
    "$here/../run_wine.sh" "$tests" --gtest_filter='*PeerNetwork*' --gtest_also_run_disabled_tests
[ -s "$report_unix" ] || fail "no report written"
cmp "$dir/expected.txt" "$report_unix" || { od -c "$report_unix" | head -30; fail "report differs"; }
echo "brenvik e2e: rows in address order agree with nbtscan, byte for byte in the report; Stop left no completion line"
