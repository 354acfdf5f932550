#!/usr/bin/env bash
# Root on a Samba server with no account file, then with the account that
# filvane-samba-account sets up, then after its removal:
#   samba_account_e2e.sh PATH/netmgmt_probe[.exe.so]
# Runs in a network namespace and a mount namespace of its own, with a
# private copy of /etc, so the accounts and groups the command makes never
# reach this machine's. Needs root; exits 77 (skipped) without it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root"
for tool in smbd smbstatus smbcontrol net smbpasswd pdbedit wine unshare useradd; do
    command -v "$tool" >/dev/null || skip "$tool missing"
done
probe=
for candidate in "$1.exe.so" "$1.so" "$1"; do
    [ -f "$candidate" ] && { probe=$(realpath "$candidate"); break; }
done
[ -n "$probe" ] || { echo "FAILED: no probe program at $1"; exit 1; }
if [ "${FILVANE_ACCOUNT_INSIDE:-}" != 1 ]; then
    exec unshare -m -n env FILVANE_ACCOUNT_INSIDE=1 "$0" "$probe"
fi

mount --make-rprivate /
D=$(mktemp -d /tmp/filvane-account-e2e.XXXXXX)
chmod 755 "$D"
cp -a /etc "$D/etc"
mount --bind "$D/etc" /etc
ip link set lo up
export WINEPREFIX="$D/wine" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export FILVANE_SAMBA_CONF="$D/smb.conf" FILVANE_SAMBA_CREDENTIALS="$D/filvane/samba-admin.conf"
# shellcheck source=holders.sh
source "$here/holders.sh"
cleanup() {
    stop_holders "$D"
    "$here/samba_server.sh" stop "$D" 2>/dev/null
    wineserver -k 2>/dev/null
    umount /etc
    rm -rf "$D"
}
trap cleanup EXIT
# shellcheck source=checks.sh
source "$here/checks.sh"
account=$(realpath "$here/../../packaging/linux/filvane-samba-account")
probe_() { timeout 60 wine "$probe" "$@" 2>>"$D/probe.err"; }
end_of() { probe_ "$@" | grep '^end ' | tail -1; }
url() { printf 'smb://127.0.0.1/%s' "$1"; }
hold() {  # hold NAME USER PASSWORD MODE URL...
    local name=$1
    shift
    "$D/samba_hold" "$1" "$2" "$3" "$D/ready.$name" "$D/release.$name" "${@:4}" >"$D/hold.$name" 2>&1 &
    holders+=($!)
    for _ in $(seq 100); do
        [ -f "$D/ready.$name" ] && return 0
        sleep 0.1
    done
}
# Everything of the system's the command may touch.
system_state() {
    getent passwd
    getent group
    net -s "$D/smb.conf" groupmap list 2>/dev/null | sort
    pdbedit -s "$D/smb.conf" -L 2>/dev/null | sort
    ls -A "$D/filvane" 2>/dev/null
}

"$here/samba_server.sh" start "$D" || { echo "FAILED: private smbd did not start"; exit 1; }
# The harness maps root's group to the administrators: without it the
# command maps a group of its own.
net -s "$D/smb.conf" groupmap delete sid=S-1-5-32-544 >/dev/null
wineboot -i >/dev/null 2>&1
echo hello >"$D/shares/公共/读我.txt"
echo data >"$D/shares/docs/a.txt"
echo more >"$D/shares/docs/新建 文件.txt"
chmod 666 "$D"/shares/*/*.txt
hold reader daemon Filv-pw1 r "$(url 公共/读我.txt)"
hold writer bin Filv-pw2 rw "$(url docs/a.txt)" "$(url 'docs/新建 文件.txt')"
hold rooted root Filv-admin r "$(url docs/a.txt)"
system_state >"$D/state.before"

# Root without the account: smbcontrol ends the session's smbd.
check "no account file: root ends root's session through its smbd" \
    test "$(probe_ disconnect root 127.0.0.1)" = "disconnect 0"
touch "$D/release.rooted"
wait "${holders[2]}"
check "that client's next read fails" grep -q '^io failed' "$D/hold.rooted"
sleep 1

# The status tool's own listing as the probe prints an open, without its id:
# path as Wine sees it, user, the mode a Windows server reports.
listed_opens() {
    smbstatus -s "$D/smb.conf" -L --resolve-uids |
        sed -nE 's/^[0-9]+ +([^ ]+) +[^ ]+ +0x([0-9a-f]+) +[^ ]+ +[^ ]+ +(.*)   (.*)   .{24}$/\1\t\2\t\3\/\4/p' |
        while IFS=$'\t' read -r user access path; do
            case $((0x$access & 3)) in 1) mode=1 ;; 2) mode=50 ;; 3) mode=35 ;; *) mode=0 ;; esac
            printf '%s\t%s\t%s\n' "$mode" "$(printf 'Z:%s' "$path" | tr / '\\')" "$user"
        done | sort
}
probe_lists() {  # probe_lists SUFFIX: the three lists, opens without their ids
    probe_ sessions >"$D/sessions.$1"
    probe_ shares >"$D/shares.$1"
    probe_ opens >"$D/opens.$1"
    grep '^open	' "$D/opens.$1" | cut -f3- | sort >"$D/opens.$1.rows"
    grep '^session	' "$D/sessions.$1" | cut -f1-4 | sort >"$D/sessions.$1.rows"
    grep '^share	' "$D/shares.$1" | sort >"$D/shares.$1.rows"
}
probe_lists bare
check "no account file: root lists the sessions" grep -qx 'end 0' "$D/sessions.bare"
check "both clients' sessions, with their opens" \
    test "$(cat "$D/sessions.bare.rows")" = "$(printf 'session\tbin\t127.0.0.1\t2\nsession\tdaemon\t127.0.0.1\t1')"
check "no account file: root lists the opens" grep -qx 'end 0' "$D/opens.bare"
listed_opens >"$D/opens.smbstatus"
check "three opens, a name with a blank and one in Chinese among them" test "$(wc -l <"$D/opens.bare.rows")" -eq 3
check "the opens are the status tool's own listing" diff "$D/opens.smbstatus" "$D/opens.bare.rows"
check "ids unique and not 0" test "$(grep '^open	' "$D/opens.bare" | cut -f2 | grep -vx 0 | sort -u | wc -l)" -eq 3
check "the same ids in the next pass" \
    test "$(probe_ opens | grep '^open	' | cut -f2)" = "$(grep '^open	' "$D/opens.bare" | cut -f2)"
check "no account file: root lists the shares" grep -qx 'end 0' "$D/shares.bare"
check "each share counts its clients' connections" \
    test "$(grep -cP '^share\t(docs|公共)\t[^\t]+\t1\t' "$D/shares.bare")" -eq 2
check "IPC\$ as Samba names it" grep -qP '^share\tIPC\$\t\t\d+\tIPC Service \(Filvane test server\)$' "$D/shares.bare"
bare_id=$(awk -F'\t' '$1 == "open" && $4 ~ /a\.txt$/ { print $2 }' "$D/opens.bare")
check "no account file: closing says not authenticated" test "$(probe_ close "$bare_id")" = "close 1244"

check "setup succeeds" "$account" setup
check "setup again succeeds" "$account" setup
check "the account file is root's, mode 600" test "$(stat -c '%U %a' "$FILVANE_SAMBA_CREDENTIALS")" = "root 600"
check "it names the dedicated account" grep -qx 'username=filvane-monitor' "$FILVANE_SAMBA_CREDENTIALS"
check "one such account" test "$(getent passwd | grep -c '^filvane-monitor:')" -eq 1

probe_lists account
check "with the account: the opens are listed" grep -qx 'end 0' "$D/opens.account"
check "the same open rows as without it" diff "$D/opens.bare.rows" "$D/opens.account.rows"
check "the same session rows as without it" diff "$D/sessions.bare.rows" "$D/sessions.account.rows"
check "the same share rows as without it" diff "$D/shares.bare.rows" "$D/shares.account.rows"
writer_id=$(awk -F'\t' '$1 == "open" && $4 ~ /a\.txt$/ { print $2 }' "$D/opens.account")
check "closing the writer's file succeeds" test "$(probe_ close "$writer_id")" = "close 0"
touch "$D/release.writer"
wait "${holders[1]}"
check "the writer's next read fails" grep -q '^io failed' "$D/hold.writer"

# srvsvc's NetSessDel as the dedicated account (the server asked as another
# computer), then root's own way: the smbd serving the session ends.
check "NetSessDel of daemon's session as the account succeeds" \
    test "$(probe_ --server 127.0.0.1 disconnect daemon 127.0.0.1)" = "disconnect 0"
touch "$D/release.reader"
wait "${holders[0]}"
check "the reader's next read fails" grep -q '^io failed' "$D/hold.reader"
hold again daemon Filv-pw1 r "$(url 公共/读我.txt)"
check "root ends daemon's session through its smbd" test "$(probe_ disconnect daemon 127.0.0.1)" = "disconnect 0"
touch "$D/release.again"
wait "${holders[3]}"
check "that client's next read fails" grep -q '^io failed' "$D/hold.again"

check "remove succeeds" "$account" remove
system_state >"$D/state.after"
check "removal leaves nothing behind" diff "$D/state.before" "$D/state.after"
check "the account file is gone" test ! -e "$FILVANE_SAMBA_CREDENTIALS"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; probe errors:"
    cat "$D/probe.err"
    exit 1
fi
echo "all checks passed"
