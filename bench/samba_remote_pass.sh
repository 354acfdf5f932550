#!/usr/bin/env bash
# What one pass costs the watcher of another Samba server, by route, at 1,000
# and 10,000 opens held by 10 client sessions:
#   sessions  srvsvc NetSessEnum over the server's \PIPE\srvsvc (libsmbclient)
#   opens     srvsvc NetFileEnum through libnetapi
#   samba_remote_pass.sh PATH/netmgmt_probe [PASSES]
# The server and the clients live in two namespaces of the script's own; the
# probe runs PASSES passes in one process, so a pass's cost is the run's time
# less that of a one-pass run, over PASSES - 1 (Wine's start and the first
# connection fall out). A one-pass run, Wine's start and a cold connection
# included, is printed beside it. Root.
set -euo pipefail

probe=$1
[ -f "$probe.exe.so" ] && probe=$probe.exe.so
passes=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../tests/e2e
[ "$(id -u)" -eq 0 ] || { echo "needs root" >&2; exit 1; }
readonly SERVER=10.231.80.1 CLIENT=10.231.80.2
srv=filvane-bench-srv-$$ cli=filvane-bench-cli-$$
D=$(mktemp -d /tmp/filvane-remote-bench.XXXXXX)
chmod 755 "$D"
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 SAMBA_ADDRESS=$SERVER
load=
cleanup() {
    touch "$D/release"
    [ -n "$load" ] && wait "$load" 2>/dev/null
    ip netns exec "$srv" "$e2e/samba_server.sh" stop "$D" 2>/dev/null || true
    ip netns exec "$cli" wineserver -k 2>/dev/null || true
    remove_namespace_pair "$srv" "$cli"
    rm -rf "$D"
}
trap cleanup EXIT
# shellcheck source=../tests/e2e/namespace_pair.sh
source "$e2e/namespace_pair.sh"
make_namespace_pair "$srv" "$cli" "$SERVER" "$CLIENT"
ip netns exec "$srv" "$e2e/samba_server.sh" start "$D"
"$e2e/samba_server.sh" client "$D" "$e2e/samba_load.c"
# The prefix and a lasting wineserver in the clients' namespace, as the
# remote end-to-end test makes them (both may answer non-zero and work).
ip netns exec "$cli" wineboot -i >/dev/null 2>&1 || true
ip netns exec "$cli" wineserver -p || true

# Seconds that PASSES passes of WHAT take, Wine's start included.
run() {  # run WHAT PASSES
    local start end
    start=$(date +%s.%N)
    ip netns exec "$cli" env FILVANE_SAMBA_CONF="$D/none.conf" FILVANE_SAMBA_CREDENTIALS="$D/admin.conf" \
        wine "$probe" --server "$SERVER" "$1" 8192 "$2" >"$D/out" 2>>"$D/probe.err"
    end=$(date +%s.%N)
    [ "$(grep -c '^end 0$' "$D/out")" -eq "$2" ] || { echo "$1: a pass failed: $(grep '^end' "$D/out" | sort -u)" >&2; exit 1; }
    echo "$end - $start" | bc
}

printf '%-8s %7s %16s %14s\n' route opens "one-pass run" "later passes"
for files in 100 1000; do
    rm -f "$D/ready" "$D/release"
    ip netns exec "$cli" "$D/samba_load" -s "$SERVER" -c 10 -f "$files" -r "$D/ready" -R "$D/release" -t 900 \
        -u daemon%Filv-pw1 -u bin%Filv-pw2 &
    load=$!
    for _ in $(seq 1200); do [ -f "$D/ready" ] && break; sleep 0.1; done
    [ -f "$D/ready" ] || { echo "the load did not start" >&2; exit 1; }
    for what in sessions opens; do
        run "$what" 1 >/dev/null  # warms Wine's files and the server's caches
        one=$(run "$what" 1)
        many=$(run "$what" "$passes")
        later=$(echo "($many - $one) / ($passes - 1) * 1000" | bc -l)
        printf '%-8s %7d %13.0f ms %11.1f ms\n' "$what" $((10 * files)) "$(echo "$one * 1000" | bc)" "$later"
    done
    touch "$D/release"
    wait "$load"
    load=
done
