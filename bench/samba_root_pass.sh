#!/usr/bin/env bash
# What one pass costs root watching the local Samba server without an
# account file, at 1,000 and 10,000 opens held by 10 client sessions: the
# sessions enumeration runs `smbstatus -p --json`, `-S --json` and one plain
# `smbstatus -L`, whose opens also make the pass's open-file list.
#   samba_root_pass.sh PATH/netmgmt_probe [PASSES]
# The server and its clients live in a network namespace of the script's
# own. A pass's cost is the time of PASSES passes in one probe less that of
# one, over PASSES - 1 (Wine's start falls out); a one-pass run is printed
# beside it. Root.
set -euo pipefail

probe=$1
[ -f "$probe.exe.so" ] && probe=$probe.exe.so
[ -f "$probe.so" ] && probe=$probe.so
probe=$(realpath "$probe")
passes=${2:-11}
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../tests/e2e
[ "$(id -u)" -eq 0 ] || { echo "needs root" >&2; exit 1; }
if [ "${ROOT_PASS_INSIDE:-}" != 1 ]; then
    exec unshare -n env ROOT_PASS_INSIDE=1 "$0" "$probe" "$passes"
fi
ip link set lo up
D=$(mktemp -d /tmp/filvane-root-bench.XXXXXX)
chmod 755 "$D"
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export FILVANE_SAMBA_CONF="$D/smb.conf" FILVANE_SAMBA_CREDENTIALS="$D/no-account.conf"
load=
cleanup() {
    touch "$D/release"
    [ -n "$load" ] && wait "$load" 2>/dev/null
    "$e2e/samba_server.sh" stop "$D" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    rm -rf "$D"
}
trap cleanup EXIT
"$e2e/samba_server.sh" start "$D"
"$e2e/samba_server.sh" client "$D" "$e2e/samba_load.c"
wineboot -i >/dev/null 2>&1 || true
wineserver -p || true

# Seconds that PASSES passes of WHAT take, Wine's start included.
run() {  # run WHAT PASSES
    local start end
    start=$(date +%s.%N)
    wine "$probe" "$1" 8192 "$2" >"$D/out" 2>>"$D/probe.err"
    end=$(date +%s.%N)
    [ "$(grep -c '^end 0$' "$D/out")" -eq "$2" ] || { echo "$1: a pass failed: $(grep '^end' "$D/out" | sort -u) $(tail -3 "$D/probe.err")" >&2; exit 1; }
    echo "$end - $start" | bc
}

printf '%-8s %7s %16s %14s %14s\n' list opens "one-pass run" "later passes" "smbstatus -L"
for files in 100 1000; do
    rm -f "$D/ready" "$D/release"
    "$D/samba_load" -s 127.0.0.1 -c 10 -f "$files" -r "$D/ready" -R "$D/release" -t 900 \
        -u daemon%Filv-pw1 -u bin%Filv-pw2 &
    load=$!
    for _ in $(seq 1200); do [ -f "$D/ready" ] && break; sleep 0.1; done
    [ -f "$D/ready" ] || { echo "the load did not start" >&2; exit 1; }
    start=$(date +%s.%N)
    listed=$(smbstatus -s "$D/smb.conf" -L | grep -c '^[0-9]')
    tool=$(echo "($(date +%s.%N) - $start) * 1000" | bc)
    for what in sessions opens; do
        run "$what" 1 >/dev/null  # warms Wine's files and the server's caches
        one=$(run "$what" 1)
        many=$(run "$what" "$passes")
        [ "$what" = opens ] && { [ "$(grep -c '^open	' "$D/out")" -eq $((passes * listed)) ] || { echo "opens listed differ" >&2; exit 1; }; }
        later=$(echo "($many - $one) / ($passes - 1) * 1000" | bc -l)
        printf '%-8s %7d %13.0f ms %11.1f ms %11.0f ms\n' "$what" "$listed" "$(echo "$one * 1000" | bc)" "$later" "$tool"
    done
    touch "$D/release"
    wait "$load"
    load=
done
