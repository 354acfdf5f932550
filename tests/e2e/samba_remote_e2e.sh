#!/usr/bin/env bash
# The linux build's Samba backend watching another server:
#   samba_remote_e2e.sh PATH/netmgmt_probe.exe[.so]
# The server and the watcher live in two network namespaces of this script's
# own, joined by a veth pair; the watcher's wineserver starts inside its
# namespace, so its traffic goes only there. Needs root; exits 77 (skipped)
# without it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root"
for tool in smbd smbstatus testparm net smbpasswd smbclient wine cc pkg-config ip; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
readonly SERVER=10.231.78.1 CLIENT=10.231.78.2 NOBODY=10.231.78.3

probe=
for candidate in "$1.exe.so" "$1.so" "$1"; do
    if [ -f "$candidate" ]; then
        probe=$candidate
        break
    fi
done
[ -n "$probe" ] || { echo "FAILED: no probe program at $1"; exit 1; }

srv=filvane-remote-srv-$$ cli=filvane-remote-cli-$$
D=$(mktemp -d /tmp/filvane-remote-e2e.XXXXXX)
chmod 755 "$D"
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 SAMBA_ADDRESS=$SERVER
# shellcheck source=holders.sh
source "$here/holders.sh"
cleanup() {
    stop_holders "$D"
    ip netns exec "$srv" "$here/samba_server.sh" stop "$D" 2>/dev/null
    ip netns exec "$cli" wineserver -k 2>/dev/null
    remove_namespace_pair "$srv" "$cli"
    rm -rf "$D"
}
trap cleanup EXIT
# shellcheck source=namespace_pair.sh
source "$here/namespace_pair.sh"
make_namespace_pair "$srv" "$cli" "$SERVER" "$CLIENT" || { echo "FAILED: cannot make network namespaces"; exit 1; }
in_srv() { ip netns exec "$srv" "$@"; }
in_cli() { ip netns exec "$cli" "$@"; }

# shellcheck source=checks.sh
source "$(dirname "$(realpath "$0")")/checks.sh"
# The watcher has no smb.conf of its own to read: it is not the server.
run_probe() { in_cli env FILVANE_SAMBA_CONF="$D/none.conf" FILVANE_SAMBA_CREDENTIALS="${ACCOUNT:-$D/admin.conf}" \
    timeout 60 wine "$probe" --server "$SERVER" "$@" 2>>"$D/probe.err"; }
end_of() { run_probe "$@" | grep '^end ' | tail -1; }
url() { printf 'smb://%s/%s' "$SERVER" "$1"; }

in_srv "$here/samba_server.sh" start "$D" || { echo "FAILED: private smbd did not start"; exit 1; }
# The wineserver of every probe run starts in the watcher's namespace.
in_cli wineboot -i >/dev/null 2>&1
in_cli wineserver -p
S="$D/shares"
echo hello >"$S/公共/读我.txt"
echo data >"$S/docs/a.txt"
chmod 666 "$S"/*/*.txt

hold() {  # hold NAME USER PASSWORD MODE URL..., a client in the watcher's namespace
    local name=$1
    shift
    in_cli "$D/samba_hold" "$1" "$2" "$3" "$D/ready.$name" "$D/release.$name" "${@:4}" >"$D/hold.$name" 2>&1 &
    holders+=($!)
}
hold reader daemon Filv-pw1 r "$(url 公共/读我.txt)"
hold both bin Filv-pw2 rw "$(url docs/a.txt)"
for i in $(seq 100); do
    [ -f "$D/ready.reader" ] && [ -f "$D/ready.both" ] && break
    sleep 0.1
done
check "clients hold their files open" test -f "$D/ready.reader" -a -f "$D/ready.both"
sleep 1

run_probe shares >"$D/out.shares"
check "share enumeration succeeds" grep -qx 'end 0' "$D/out.shares"
check "share 公共 listed with one connection" grep -qP '^share\t公共\t[^\t]*\t1\t公共资料 共享$' "$D/out.shares"
check "share docs listed" grep -qP '^share\tdocs\t' "$D/out.shares"

# Sessions through srvsvc over the server's named pipe: each client's user,
# address and open count, as the server's status tool lists them; the
# watcher's own connections (its account, nothing open) left out.
run_probe sessions >"$D/out.sessions"
check "session enumeration succeeds" grep -qx 'end 0' "$D/out.sessions"
awk -F'\t' '$1 == "session" { print $2 "\t" $3 "\t" $4 }' "$D/out.sessions" | sort >"$D/out.session.rows"
in_srv smbstatus -s "$D/smb.conf" -p 2>/dev/null | awk -v cli="$CLIENT" '$4 == cli && $2 != "root" { print $2 "\t" $4 "\t1" }' \
    | sort >"$D/out.status.sessions"
check "two sessions, one open each" test "$(wc -l <"$D/out.session.rows")" -eq 2
check "sessions equal the status tool's" cmp -s "$D/out.session.rows" "$D/out.status.sessions"

run_probe opens >"$D/out.opens"
check "open enumeration succeeds" grep -qx 'end 0' "$D/out.opens"
awk -F'\t' '$1 == "open" { print $2 "\t" $5 }' "$D/out.opens" | sort >"$D/out.rows"
# The server's own view, in its namespace.
in_srv timeout 20 net -s "$D/smb.conf" rpc file -S "$SERVER" -A "$D/admin.conf" </dev/null \
    | awk 'NF >= 5 && $1 ~ /^[0-9]+$/ { print $1 "\t" $2 }' | sort >"$D/out.srvsvc"
check "two opens, as the server lists them" test "$(wc -l <"$D/out.rows")" -eq 2 -a -s "$D/out.srvsvc"
check "ids and users equal the server's" cmp -s "$D/out.rows" "$D/out.srvsvc"
in_srv smbstatus -s "$D/smb.conf" -L 2>/dev/null | grep -c 'docs\|公共' >"$D/out.locks"
check "the status tool counts as many opens" test "$(cat "$D/out.locks")" -eq 2

both_id=$(awk -F'\t' '$1 == "open" && $4 ~ /a\.txt$/ { print $2 }' "$D/out.opens")
check "close of the read-write open over the network succeeds" test "$(run_probe close "$both_id")" = "close 0"
touch "$D/release.both"
wait "${holders[1]}"
check "client's next read on the closed handle fails" grep -q '^io failed' "$D/hold.both"
check "one open left" test "$(run_probe opens | grep -c '^open	')" -eq 1

(umask 077; printf 'username=root\npassword=wrong\n' >"$D/wrong.conf")
check "wrong password: logon failure (1326)" test "$(ACCOUNT="$D/wrong.conf" end_of opens)" = "end 1326"
check "no account file: not authenticated (1244)" test "$(ACCOUNT="$D/missing.conf" end_of opens)" = "end 1244"
start=$(date +%s)
nobody=$(in_cli env FILVANE_SAMBA_CREDENTIALS="$D/admin.conf" timeout 60 wine "$probe" --server "$NOBODY" opens \
    2>>"$D/probe.err" | grep '^end ')
check "a server that is not there: bad net path (53), not $nobody" test "$nobody" = "end 53"
check "said within 30 s" test $(($(date +%s) - start)) -lt 30

touch "$D/release.reader"
wait "${holders[0]}"
check "the reader's file stayed open" grep -q "^io ok: $(url 公共/读我.txt)" "$D/hold.reader"

# Disconnecting a session ends the client's connection: its next read fails.
hold cut daemon Filv-pw1 r "$(url 公共/读我.txt)"
for i in $(seq 100); do
    [ -f "$D/ready.cut" ] && break
    sleep 0.1
done
check "disconnecting daemon's session from $CLIENT succeeds" \
    test "$(run_probe disconnect daemon "$CLIENT")" = "disconnect 0"
check "no session of daemon left" test "$(run_probe sessions | grep -c '^session	daemon')" -eq 0
check "a session that is not there: client name not found (2312)" \
    test "$(run_probe disconnect daemon "$CLIENT")" = "disconnect 2312"
touch "$D/release.cut"
wait "${holders[2]}"
check "the disconnected client's next read fails" grep -q '^io failed' "$D/hold.cut"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; probe errors:"
    cat "$D/probe.err"
    exit 1
fi
echo "all checks passed"
