#!/usr/bin/env bash
# The linux build's Samba backend against a real private smbd:
#   samba_backend_e2e.sh PATH/netmgmt_probe.exe[.so]
# The server lives in a network namespace of this script's own, bound only to
# the address of a veth interface there (not loopback), so closing must reach
# it where it listens. Needs root; exits 77 (skipped) without it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root"
for tool in smbd smbstatus testparm net smbpasswd smbclient wine cc pkg-config ip; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
readonly ADDRESS=10.231.77.1

if [ -z "${BACKEND_E2E_INSIDE:-}" ]; then
    ns=filvane-backend-$$
    ip netns add "$ns" || { echo "FAILED: cannot make a network namespace"; exit 1; }
    trap 'ip netns del "$ns"' EXIT
    ip netns exec "$ns" ip link set lo up
    ip netns exec "$ns" ip link add filvane0 type veth peer name filvane1
    ip netns exec "$ns" ip addr add "$ADDRESS/24" dev filvane0
    ip netns exec "$ns" ip link set filvane0 up
    ip netns exec "$ns" ip link set filvane1 up
    BACKEND_E2E_INSIDE=1 ip netns exec "$ns" "$0" "$@"
    exit $?
fi

# winegcc adds ".exe" to a name without it and writes a launcher script
# beside the program: wine takes the .exe.so.
probe=
for candidate in "$1.exe.so" "$1.so" "$1"; do
    if [ -f "$candidate" ]; then
        probe=$candidate
        break
    fi
done
[ -n "$probe" ] || { echo "FAILED: no probe program at $1"; exit 1; }

D=$(mktemp -d /tmp/filvane-samba-e2e.XXXXXX)
chmod 755 "$D"
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 SAMBA_ADDRESS=$ADDRESS
export FILVANE_SAMBA_CONF="$D/smb.conf" FILVANE_SAMBA_CREDENTIALS="$D/admin.conf"
# shellcheck source=holders.sh
source "$here/holders.sh"
cleanup() {
    stop_holders "$D"
    "$here/samba_server.sh" stop "$D" 2>/dev/null
    wineserver -k 2>/dev/null
    rm -rf "$D"
}
trap cleanup EXIT
# One wine server for every probe run: dozens of short runs one after another
# would otherwise now and then meet a server that is just shutting down, and
# die with "recvmsg: connection reset".
wineboot -i >/dev/null 2>&1
wineserver -p

# shellcheck source=checks.sh
source "$(dirname "$(realpath "$0")")/checks.sh"
run_probe() { timeout 60 wine "$probe" "$@" 2>>"$D/probe.err"; }
end_of() { run_probe "$@" | grep '^end ' | tail -1; }
# The same with only the tools of folder DIR at hand for the backend.
end_with_tools_of() {  # end_with_tools_of DIR WHAT
    PATH=$1 "$(command -v timeout)" 60 "$(command -v wine)" "$probe" "$2" 2>>"$D/probe.err" | grep '^end ' | tail -1
}
url() { printf 'smb://%s/%s' "$ADDRESS" "$1"; }

"$here/samba_server.sh" start "$D" || { echo "FAILED: private smbd did not start"; exit 1; }
S="$D/shares"
echo hello >"$S/公共/读我.txt"
echo second >"$S/公共/另一个.txt"
echo data >"$S/docs/a.txt"
chmod 666 "$S"/*/*.txt
mkdir -p "$S/own"
net -s "$D/smb.conf" usershare add mine "$S/own" "个人 %S" S-1-1-0:F >>"$D/probe.err" 2>&1
# Paths as the Win32 side sees them: "/" is Wine's drive Z:.
win() { printf 'Z:%s' "$1" | tr / '\\'; }

hold() {  # hold NAME USER PASSWORD MODE URL...
    local name=$1
    shift
    "$D/samba_hold" "$1" "$2" "$3" "$D/ready.$name" "$D/release.$name" "${@:4}" >"$D/hold.$name" 2>&1 &
    holders+=($!)
}
hold reader daemon Filv-pw1 r "$(url 公共/读我.txt)" "$(url 公共/另一个.txt)"
hold writer bin Filv-pw2 w "$(url 'docs/新建 文件.txt')"
hold both bin Filv-pw2 rw "$(url docs/a.txt)"
# An anonymous connection, as a network browse makes one.
(sleep 120 | smbclient -s "$D/smb.conf" -U% "//$ADDRESS/IPC\$" >/dev/null 2>&1) &
holders+=($!)
for i in $(seq 100); do
    [ -f "$D/ready.reader" ] && [ -f "$D/ready.writer" ] && [ -f "$D/ready.both" ] && break
    sleep 0.1
done
check "clients hold their files open" test -f "$D/ready.reader" -a -f "$D/ready.writer" -a -f "$D/ready.both"
sleep 1

# Shares: every one, usershares and hidden ones too, remarks as the server
# shows them, IPC$ with an empty path, connections counted.
run_probe shares >"$D/out.shares"
check "share enumeration succeeds" grep -qx 'end 0' "$D/out.shares"
check "share 公共 with path, one connection, remark" \
    grep -qxF "$(printf 'share\t公共\t%s\t1\t公共资料 共享' "$(win "$S/公共")")" "$D/out.shares"
check "share docs with two connections" grep -qxF "$(printf 'share\tdocs\t%s\t2\t' "$(win "$S/docs")")" "$D/out.shares"
check "hidden share listed" grep -q "^share	hidden\\$	" "$D/out.shares"
check "usershare listed, its remark expanded" grep -qxF "$(printf 'share\tmine\t%s\t0\t个人 mine' "$(win "$S/own")")" \
    "$D/out.shares"
check "IPC\$ with an empty path" grep -qP '^share\tIPC\$\t\t\d+\tIPC Service \(Filvane test server\)$' "$D/out.shares"

# Sessions: two users on three connections, each with its number of opens;
# neither the anonymous one nor the backend's own is listed.
run_probe sessions >"$D/out.sessions"
check "three sessions" test "$(grep -c '^session	' "$D/out.sessions")" -eq 3
check "daemon's session holds two opens" grep -qP '^session\tdaemon\t10\.231\.77\.1\t2\t\d+\t0$' "$D/out.sessions"
check "bin has two sessions of one open" test "$(grep -cP '^session\tbin\t10\.231\.77\.1\t1\t' "$D/out.sessions")" -eq 2
check "no anonymous or own session" test "$(grep -cP '^session\t(nobody|root)\t' "$D/out.sessions")" -eq 0

# Opens: modes as a Windows server reports them, unique ids that stay,
# paging through replies.
run_probe opens 2048 2 >"$D/out.opens"
awk -F'\t' '$1 == "open" { print $2 "\t" $3 "\t" $4 "\t" $5 }' "$D/out.opens" >"$D/out.rows"
check "four opens in each of two passes" test "$(wc -l <"$D/out.rows")" -eq 8
check "read open has mode 0x1" grep -qP "^\\d+\\t1\\t\\Q$(win "$S/公共/读我.txt")\\E\\tdaemon$" "$D/out.rows"
check "write open has mode 0x32" grep -qP "^\\d+\\t50\\t\\Q$(win "$S/docs/新建 文件.txt")\\E\\tbin$" "$D/out.rows"
check "read-write open has mode 0x23" grep -qP "^\\d+\\t35\\t\\Q$(win "$S/docs/a.txt")\\E\\tbin$" "$D/out.rows"
check "ids unique" test "$(cut -f1 "$D/out.rows" | sort -u | wc -l)" -eq 4
check "second pass equals the first" cmp -s <(head -4 "$D/out.rows") <(tail -4 "$D/out.rows")
run_probe opens 40 >"$D/out.paged"
check "small replies: one record each, more data until the last" \
    test "$(grep -c '^reply 234 1 ' "$D/out.paged")" -eq 3 -a "$(grep -c '^reply 0 1 4$' "$D/out.paged")" -eq 1
check "ids stay the same in another process" \
    cmp -s <(head -4 "$D/out.rows" | sort) \
    <(awk -F'\t' '$1 == "open" { print $2 "\t" $3 "\t" $4 "\t" $5 }' "$D/out.paged" | sort)

# The server's own srvsvc agrees on ids and users.
timeout 20 net -s "$D/smb.conf" rpc file -S "$ADDRESS" -A "$D/admin.conf" </dev/null \
    | awk 'NF >= 5 && $1 ~ /^[0-9]+$/ { print $1 "\t" $2 }' | sort >"$D/out.srvsvc"
check "ids and users as srvsvc gives them" \
    cmp -s "$D/out.srvsvc" <(head -4 "$D/out.rows" | awk -F'\t' '{ print $1 "\t" $4 }' | sort)

# Closing, where the server listens: the client's next read fails, other
# opens live on.
both_id=$(grep -P "\\Q$(win "$S/docs/a.txt")\\E" "$D/out.rows" | head -1 | cut -f1)
check "close of the read-write open succeeds" test "$(run_probe close "$both_id")" = "close 0"
touch "$D/release.both"
wait "${holders[2]}"
check "client's next read on the closed handle fails" grep -q '^io failed' "$D/hold.both"
run_probe opens >"$D/out.after"
check "closed open no longer listed, the others still are" \
    test "$(grep -c '^open	' "$D/out.after")" -eq 3 -a "$(grep -cF "$(win "$S/docs/a.txt")" "$D/out.after")" -eq 0
check "closing it again fails" test "$(run_probe close "$both_id")" = "close 2314"

# A close asked about one file while its id names another now (the server
# gave it to a new open): nothing is closed.
reader_id=$(grep -P "\\Q$(win "$S/公共/读我.txt")\\E" "$D/out.rows" | head -1 | cut -f1)
check "close of an id that names another path now: file changed (1006)" \
    test "$(run_probe close "$reader_id" "$(win "$S/公共/另一个.txt")" daemon)" = "close 1006"
check "close of an id that another user holds now: file changed (1006)" \
    test "$(run_probe close "$reader_id" "$(win "$S/公共/读我.txt")" bin)" = "close 1006"
check "the changed closes closed nothing" test "$(end_of opens)" = "end 0" -a \
    "$(run_probe opens | grep -cF "$(win "$S/公共/读我.txt")")" -eq 1

# Each cause of failure has its own code, and a broken account file never
# costs the session list.
check "no credentials file: not authenticated (1244)" \
    test "$(FILVANE_SAMBA_CREDENTIALS="$D/missing.conf" run_probe close "$reader_id")" = "close 1244"
account() {  # account NAME MODE TEXT: an account file as root writes it
    (umask 077; printf '%b' "$3" >"$D/$1.conf")
    chmod "$2" "$D/$1.conf"
}
account exposed 644 'username=root\npassword=Filv-admin\n'
account nobodys 600 'username=root\npassword=Filv-admin\n'
chown nobody "$D/nobodys.conf"
account empty 600 ''
account nopassword 600 'username=root\n'
account large 600 "username=root\npassword=Filv-admin\n#$(head -c 5000 /dev/zero | tr '\0' x)\n"
ln -s "$D/admin.conf" "$D/link.conf"
sessions_now=$(run_probe sessions | grep -c '^session	')
for case in exposed:1338 nobodys:1307 empty:38 nopassword:11 large:223 link:1921; do
    name=${case%%:*} code=${case#*:}
    got=$(FILVANE_SAMBA_CREDENTIALS="$D/$name.conf" end_of opens)
    check "account file $name: refused with its own cause ($code), not $got" test "$got" = "end $code"
    FILVANE_SAMBA_CREDENTIALS="$D/$name.conf" run_probe sessions >"$D/out.sessions.$name"
    check "account file $name: sessions still listed" \
        test "$(grep '^end ' "$D/out.sessions.$name")" = "end 0" \
        -a "$(grep -c '^session	' "$D/out.sessions.$name")" -eq "$sessions_now"
    check "account file $name: no own session listed" test "$(grep -cP '^session\troot\t' "$D/out.sessions.$name")" -eq 0
done
(umask 077; printf 'username=root\npassword=wrong\n' >"$D/wrong.conf")
wrong=$(FILVANE_SAMBA_CREDENTIALS="$D/wrong.conf" end_of opens)
check "wrong password: logon failure (1326), not $wrong" test "$wrong" = "end 1326"
mkdir -p "$D/no-status" "$D/slow-status"
ln -s "$(command -v testparm)" "$D/no-status/testparm"
ln -s "$(command -v testparm)" "$D/slow-status/testparm"
printf '#!/bin/sh\nexec %s 30\n' "$(command -v sleep)" >"$D/slow-status/smbstatus"
chmod +x "$D/slow-status/smbstatus"
check "no smb.conf: configuration missing (3), not a missing tool" \
    test "$(FILVANE_SAMBA_CONF="$D/missing-smb.conf" end_of sessions)" = "end 3"
check "status tool missing: file not found (2)" test "$(end_with_tools_of "$D/no-status" sessions)" = "end 2"
start=$(date +%s)
check "status tool silent: time-out (1460)" test "$(end_with_tools_of "$D/slow-status" sessions)" = "end 1460"
check "the time-out took the tool's limit, not longer" test $(($(date +%s) - start)) -lt 20
touch "$D/release.reader"
wait "${holders[0]}"
check "refused closes left the client's files open" grep -q "^io ok: $(url 公共/读我.txt)" "$D/hold.reader"

# A stopped server: said so at once, no hang.
touch "$D/release.writer"
wait "${holders[1]}"
"$here/samba_server.sh" stop "$D"
start=$(date +%s)
for what in shares sessions opens; do
    check "$what with the server stopped: not started (2114)" test "$(end_of "$what")" = "end 2114"
done
check "close with the server stopped: 2114" test "$(run_probe close "$reader_id")" = "close 2114"
check "answers within 30 s" test $(($(date +%s) - start)) -lt 30

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; probe errors:"
    cat "$D/probe.err"
    exit 1
fi
echo "all checks passed"
