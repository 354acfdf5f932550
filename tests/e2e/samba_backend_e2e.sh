#!/usr/bin/env bash
# The linux build's Samba backend against a real private smbd on 127.0.0.1:
#   samba_backend_e2e.sh PATH/netmgmt_probe.exe[.so]
# Needs root and a free 127.0.0.1:445; exits 77 (skipped) without them.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root"
for tool in smbd smbstatus testparm net smbpasswd wine cc pkg-config; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
if (exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null; then
    skip "127.0.0.1:445 is in use"
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
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export FILVANE_SAMBA_CONF="$D/smb.conf" FILVANE_SAMBA_CREDENTIALS="$D/admin.conf"
holders=()
cleanup() {
    touch "$D/release.reader" "$D/release.writer" "$D/release.both"
    for pid in "${holders[@]}"; do
        wait "$pid" 2>/dev/null
    done
    "$here/samba_server.sh" stop "$D" 2>/dev/null
    rm -rf "$D"
}
trap cleanup EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
run_probe() { timeout 60 wine "$probe" "$@" 2>>"$D/probe.err"; }

"$here/samba_server.sh" start "$D" || { echo "FAILED: private smbd did not start"; exit 1; }
S="$D/shares"
echo hello >"$S/公共/读我.txt"
echo second >"$S/公共/另一个.txt"
echo data >"$S/docs/a.txt"
chmod 666 "$S"/*/*.txt
# Paths as the Win32 side sees them: "/" is Wine's drive Z:.
win() { printf 'Z:%s' "$1" | tr / '\\'; }

hold() {  # hold NAME USER PASSWORD MODE URL...
    local name=$1
    shift
    "$D/samba_hold" "$1" "$2" "$3" "$D/ready.$name" "$D/release.$name" "${@:4}" >"$D/hold.$name" 2>&1 &
    holders+=($!)
}
hold reader daemon Filv-pw1 r 'smb://127.0.0.1/公共/读我.txt' 'smb://127.0.0.1/公共/另一个.txt'
hold writer bin Filv-pw2 w 'smb://127.0.0.1/docs/新建 文件.txt'
hold both bin Filv-pw2 rw 'smb://127.0.0.1/docs/a.txt'
for i in $(seq 100); do
    [ -f "$D/ready.reader" ] && [ -f "$D/ready.writer" ] && [ -f "$D/ready.both" ] && break
    sleep 0.1
done
check "clients hold their files open" test -f "$D/ready.reader" -a -f "$D/ready.writer" -a -f "$D/ready.both"

# Shares: every one, IPC$ with an empty path, connections counted.
run_probe shares >"$D/out.shares"
check "share enumeration succeeds" grep -qx 'end 0' "$D/out.shares"
check "share 公共 with path, one connection, remark" \
    grep -qxF "$(printf 'share\t公共\t%s\t1\t公共资料 共享' "$(win "$S/公共")")" "$D/out.shares"
check "share docs with two connections" grep -qxF "$(printf 'share\tdocs\t%s\t2\t' "$(win "$S/docs")")" "$D/out.shares"
check "hidden share listed" grep -q "^share	hidden\\$	" "$D/out.shares"
check "IPC\$ with an empty path" grep -qxF "$(printf 'share\tIPC$\t\t0\tIPC Service (Filvane test server)')" "$D/out.shares"

# Sessions: two users on three connections, each with its number of opens.
run_probe sessions >"$D/out.sessions"
check "three sessions" test "$(grep -c '^session	' "$D/out.sessions")" -eq 3
check "daemon's session holds two opens" grep -qP '^session\tdaemon\t127\.0\.0\.1\t2\t\d+\t0$' "$D/out.sessions"
check "bin has two sessions of one open" test "$(grep -cP '^session\tbin\t127\.0\.0\.1\t1\t' "$D/out.sessions")" -eq 2

# Opens: permissions by mode, unique ids that stay, paging through replies.
run_probe opens 2048 2 >"$D/out.opens"
awk -F'\t' '$1 == "open" { print $2 "\t" $3 "\t" $4 "\t" $5 }' "$D/out.opens" >"$D/out.rows"
check "four opens in each of two passes" test "$(wc -l <"$D/out.rows")" -eq 8
check "read open has permission 1" grep -qP "^\\d+\\t1\\t\\Q$(win "$S/公共/读我.txt")\\E\\tdaemon$" "$D/out.rows"
check "write open has permission 2" grep -qP "^\\d+\\t2\\t\\Q$(win "$S/docs/新建 文件.txt")\\E\\tbin$" "$D/out.rows"
check "read-write open has permission 3" grep -qP "^\\d+\\t3\\t\\Q$(win "$S/docs/a.txt")\\E\\tbin$" "$D/out.rows"
check "ids unique" test "$(cut -f1 "$D/out.rows" | sort -u | wc -l)" -eq 4
check "second pass equals the first" cmp -s <(head -4 "$D/out.rows") <(tail -4 "$D/out.rows")
run_probe opens 40 >"$D/out.paged"
check "small replies: one record each, more data until the last" \
    test "$(grep -c '^reply 234 1 ' "$D/out.paged")" -eq 3 -a "$(grep -c '^reply 0 1 4$' "$D/out.paged")" -eq 1
check "ids stay the same in another process" \
    cmp -s <(head -4 "$D/out.rows" | sort) \
    <(awk -F'\t' '$1 == "open" { print $2 "\t" $3 "\t" $4 "\t" $5 }' "$D/out.paged" | sort)

# The server's own srvsvc agrees on ids, permissions and users.
timeout 20 net -s "$D/smb.conf" rpc file -S 127.0.0.1 -A "$D/admin.conf" </dev/null \
    | awk 'NF >= 5 && $1 ~ /^[0-9]+$/ { print $1 "\t" $3 + 0 "\t" $2 }' | sort >"$D/out.srvsvc"
check "ids, permissions and users as srvsvc gives them" \
    cmp -s "$D/out.srvsvc" <(head -4 "$D/out.rows" | awk -F'\t' '{ print $1 "\t" $2 "\t" $4 }' | sort)

# Closing: the client's next read fails, other opens live on.
both_id=$(grep -P "\\Q$(win "$S/docs/a.txt")\\E" "$D/out.rows" | head -1 | cut -f1)
check "close of the read-write open succeeds" test "$(run_probe close "$both_id")" = "close 0"
touch "$D/release.both"
wait "${holders[2]}"
check "client's next read on the closed handle fails" grep -q '^io failed' "$D/hold.both"
run_probe opens >"$D/out.after"
check "closed open no longer listed, the others still are" \
    test "$(grep -c '^open	' "$D/out.after")" -eq 3 -a "$(grep -cF "$(win "$S/docs/a.txt")" "$D/out.after")" -eq 0
check "closing it again fails" test "$(run_probe close "$both_id")" = "close 2314"

reader_id=$(grep -P "\\Q$(win "$S/公共/读我.txt")\\E" "$D/out.rows" | head -1 | cut -f1)
check "no credentials file: access denied" \
    test "$(FILVANE_SAMBA_CREDENTIALS="$D/missing.conf" run_probe close "$reader_id")" = "close 5"
cp "$D/admin.conf" "$D/exposed.conf"
chmod 644 "$D/exposed.conf"
check "credentials readable by others: access denied" \
    test "$(FILVANE_SAMBA_CREDENTIALS="$D/exposed.conf" run_probe close "$reader_id")" = "close 5"
touch "$D/release.reader"
wait "${holders[0]}"
check "refused close left the client's files open" grep -q '^io ok: smb://127.0.0.1/公共/读我.txt' "$D/hold.reader"

# A stopped server: access denied at once, no hang.
touch "$D/release.writer"
wait "${holders[1]}"
"$here/samba_server.sh" stop "$D"
start=$(date +%s)
for what in shares sessions opens; do
    check "$what with the server stopped: 5" grep -qx 'end 5' <(run_probe "$what")
done
check "close with the server stopped: 5" test "$(run_probe close "$reader_id")" = "close 5"
check "answers within 20 s" test $(($(date +%s) - start)) -lt 20

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; probe errors:"
    cat "$D/probe.err"
    exit 1
fi
echo "all checks passed"
