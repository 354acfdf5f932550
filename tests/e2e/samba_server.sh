#!/usr/bin/env bash
# A private smbd on 127.0.0.1 for the Samba backend's end-to-end tests.
#
#   samba_server.sh start DIR   writes DIR/smb.conf, share folders, passdb and
#                               DIR/admin.conf (credentials, mode 600), builds
#                               DIR/samba_hold, starts smbd; prints nothing
#   samba_server.sh stop DIR    stops that smbd (and its helpers)
#   samba_server.sh client DIR SOURCE.c
#                               builds the SMB client DIR/SOURCE from
#                               SOURCE.c and the clients' shared code
#
# A client holding files open until DIR/release appears:
#   DIR/samba_hold daemon Filv-pw1 r DIR/ready DIR/release 'smb://127.0.0.1/公共/读我.txt' &
# The backend watches it with FILVANE_SAMBA_CONF=DIR/smb.conf and
# FILVANE_SAMBA_CREDENTIALS=DIR/admin.conf.
#
# SAMBA_ADDRESS (default 127.0.0.1) is the one address smbd is bound to.
#
# Everything lives under DIR: configuration, state, locks, logs, passdb,
# usershares.
# Samba accounts need Unix accounts; the existing system accounts "daemon"
# and "bin" serve as the two users and root as the administrator, so no file
# of the system is changed. Their Samba passwords are fixed test values.
set -euo pipefail

readonly USER1=daemon USER2=bin ADMIN=root
readonly PASS1='Filv-pw1' PASS2='Filv-pw2' ADMIN_PASS='Filv-admin'
readonly SHARE1='公共' SHARE2='docs'
readonly ADDRESS=${SAMBA_ADDRESS:-127.0.0.1}

die() { echo "samba_server.sh: $*" >&2; exit 1; }

write_conf() {
    local dir=$1
    cat >"$dir/smb.conf" <<CONF
[global]
    netbios name = FILVTEST
    workgroup = FILVGROUP
    server string = Filvane test server
    server role = standalone server
    interfaces = $ADDRESS
    bind interfaces only = yes
    smb ports = 445
    disable netbios = yes
    pid directory = $dir/run
    lock directory = $dir/lock
    state directory = $dir/state
    cache directory = $dir/cache
    private dir = $dir/private
    binddns dir = $dir/bind-dns
    ncalrpc dir = $dir/ncalrpc
    log file = $dir/log/log.%m
    log level = 1
    passdb backend = tdbsam:$dir/private/passdb.tdb
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
    map to guest = never
    unix charset = UTF-8
    usershare path = $dir/usershares
    usershare max shares = 10
    usershare owner only = no

[$SHARE1]
    path = $dir/shares/$SHARE1
    comment = 公共资料 共享
    read only = no

[docs]
    path = $dir/shares/docs
    read only = no

[hidden\$]
    path = $dir/shares/hidden
    comment = admin only
    browseable = no
CONF
}

start() {
    local dir=$1
    mkdir -p "$dir"/{run,lock,state,cache,private,bind-dns,ncalrpc,log,usershares}
    chmod 1770 "$dir/usershares"
    mkdir -p "$dir/shares/$SHARE1" "$dir/shares/docs" "$dir/shares/hidden"
    chmod 0777 "$dir/shares/$SHARE1" "$dir/shares/docs"
    chmod 0755 "$dir"
    write_conf "$dir"
    local user pass
    while read -r user pass; do
        printf '%s\n%s\n' "$pass" "$pass" | smbpasswd -c "$dir/smb.conf" -s -a "$user" >>"$dir/log/setup.log" 2>&1 \
            || die "cannot add Samba account $user"
    done <<USERS
$USER1 $PASS1
$USER2 $PASS2
$ADMIN $ADMIN_PASS
USERS
    # root in BUILTIN\Administrators, so srvsvc also lists opens to root
    # (net rpc file): the tests compare the backend with that answer.
    net -s "$dir/smb.conf" groupmap add sid=S-1-5-32-544 unixgroup=root type=builtin >>"$dir/log/setup.log" 2>&1 \
        || die "cannot map the administrators group"
    (umask 077; printf 'username=%s\npassword=%s\n' "$ADMIN" "$ADMIN_PASS" >"$dir/admin.conf")
    printf '%s\n%s\n%s\n%s\n' "$USER1" "$PASS1" "$USER2" "$PASS2" >"$dir/users"
    client "$dir" "$here/samba_hold.c"
    smbd -D -s "$dir/smb.conf" </dev/null || die "smbd did not start"
    local i
    for i in $(seq 50); do
        if smbclient -s "$dir/smb.conf" -L "$ADDRESS" -U "$USER1%$PASS1" -m SMB3 >/dev/null 2>&1 </dev/null; then
            return 0
        fi
        sleep 0.2
    done
    stop "$dir"
    die "smbd does not answer on $ADDRESS:445 (see $dir/log)"
}

client() {
    local dir=$1 source=$2
    cc -O2 -Wall -I"$here" -o "$dir/$(basename "$source" .c)" "$source" "$here/smb_client_common.c" \
        $(pkg-config --cflags --libs smbclient) || die "cannot build $(basename "$source")"
}

stop() {
    local dir=$1 pidfile pid
    for pidfile in "$dir"/run/smbd.pid "$dir"/run/samba-dcerpcd.pid; do
        [ -f "$pidfile" ] || continue
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
    done
    pid=$(cat "$dir/run/smbd.pid" 2>/dev/null || true)
    local i
    for i in $(seq 50); do
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
}

usage="usage: samba_server.sh start|stop DIR, or client DIR SOURCE.c"
here=$(cd "$(dirname "$0")" && pwd)
case $#:${1:-} in
    2:start) start "$(realpath -m "$2")" ;;
    2:stop) stop "$(realpath -m "$2")" ;;
    3:client) client "$(realpath -m "$2")" "$3" ;;
    *) die "$usage" ;;
esac
