#!/usr/bin/env bash
# Captures a real smbd's answers to the srvsvc session calls into DIR (by
# default tests/data/samba), for the codec's unit tests:
#   srvsvc_capture.sh [DIR]
# Two clients in a namespace of their own hold files open on a private smbd
# in another; the capture asks from the server's namespace, so deleting the
# clients' sessions by address leaves its own connection alone. Needs root.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "${1:-$here/../data/samba}")
[ "$(id -u)" -eq 0 ] || { echo "needs root" >&2; exit 1; }
readonly SERVER=10.231.79.1 CLIENT=10.231.79.2
srv=filvane-capture-srv-$$ cli=filvane-capture-cli-$$
D=$(mktemp -d /tmp/filvane-capture.XXXXXX)
chmod 755 "$D"
export SAMBA_ADDRESS=$SERVER
cleanup() {
    touch "$D"/release.*
    wait
    ip netns exec "$srv" "$here/samba_server.sh" stop "$D" 2>/dev/null || true
    remove_namespace_pair "$srv" "$cli"
    rm -rf "$D"
}
trap cleanup EXIT
# shellcheck source=namespace_pair.sh
source "$here/namespace_pair.sh"
make_namespace_pair "$srv" "$cli" "$SERVER" "$CLIENT"

ip netns exec "$srv" "$here/samba_server.sh" start "$D"
echo hello >"$D/shares/公共/读我.txt"
echo data >"$D/shares/docs/a.txt"
chmod 666 "$D"/shares/*/*.txt
ip netns exec "$cli" "$D/samba_hold" daemon Filv-pw1 r "$D/ready.a" "$D/release.a" \
    "smb://$SERVER/公共/读我.txt" >/dev/null 2>&1 &
ip netns exec "$cli" "$D/samba_hold" bin Filv-pw2 rw "$D/ready.b" "$D/release.b" \
    "smb://$SERVER/docs/a.txt" "smb://$SERVER/公共/读我.txt" >/dev/null 2>&1 &
for _ in $(seq 100); do
    [ -f "$D/ready.a" ] && [ -f "$D/ready.b" ] && break
    sleep 0.1
done
[ -f "$D/ready.a" ] && [ -f "$D/ready.b" ] || { echo "clients did not start" >&2; exit 1; }

root=$here/../..
cc -c -O1 -I"$root" $(pkg-config --cflags smbclient) -o "$D/pipe.o" "$root/netmgmt/srvsvc_pipe_linux.c"
# The pipe takes the libnetapi shim's lock.
cc -c -O1 -I"$root" $(pkg-config --cflags netapi talloc) -o "$D/netapi.o" "$root/netmgmt/samba_netapi_linux.c"
c++ -std=c++17 -O1 -I"$root" -o "$D/srvsvc_capture" "$here/srvsvc_capture.cpp" \
    "$root/netmgmt/"{srvsvc_client_linux,srvsvc_rpc,utf_text,samba_credentials}.cpp "$D/pipe.o" "$D/netapi.o" \
    $(pkg-config --libs smbclient netapi talloc)
mkdir -p "$out"
ip netns exec "$srv" "$D/srvsvc_capture" "$SERVER" "$D/admin.conf" "$out" "$CLIENT"
ip netns exec "$srv" smbstatus -s "$D/smb.conf" -p >"$D/after"
left=$(grep -c "$CLIENT" "$D/after" || true)
[ "$left" -eq 0 ] || { echo "the deletion left $left of $CLIENT's sessions" >&2; exit 1; }
echo "captured into $out"
