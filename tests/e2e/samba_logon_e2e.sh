#!/usr/bin/env bash
# Filvane watching another server with no account file, in network namespaces
# of this script's own (a private smbd in one, Filvane, its wineserver and a
# client in the other):
# - the refused pass brings the account dialog, once; a wrong password asks
#   again with its cause; the right one, remembered, fills the lists;
# - the remembered file is mode 600 in a folder of mode 700 under the user's
#   configuration folder, and no process holds the password in its command
#   line or environment;
# - a second start lists with the remembered account without asking.
#
#   samba_logon_e2e.sh Filvane.exe.so wdrive.exe.so
# Needs root (namespaces, smbd); exits 77 without it.
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"
readonly SERVER=10.231.82.1 CLIENT=10.231.82.2 PASSWORD=Filv-admin
readonly LOGON_TITLE="登录到服务器"

if [ "${FILVANE_IN_NAMESPACE:-}" != 1 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
  for tool in smbd smbpasswd wine ip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
  done
  # The administrator's files would be read before any dialog.
  [ -e /etc/filvane ] && { echo "SKIP: this machine has /etc/filvane"; exit 77; }
  ns=filvane-logon-$$
  D=$(mktemp -d /tmp/filvane-logon.XXXXXX)
  chmod 755 "$D"
  cleanup() {
    ip netns exec "$ns-srv" "$here/samba_server.sh" stop "$D" >/dev/null 2>&1
    remove_namespace_pair "$ns-srv" "$ns-cli"
    rm -rf "$D"
  }
  trap cleanup EXIT
  source "$here/namespace_pair.sh"
  make_namespace_pair "$ns-srv" "$ns-cli" "$SERVER" "$CLIENT" || fail "cannot make the network namespaces"
  SAMBA_ADDRESS=$SERVER ip netns exec "$ns-srv" "$here/samba_server.sh" start "$D" || fail "the private smbd did not start"
  FILVANE_IN_NAMESPACE=1 LOGON_DIR=$D ip netns exec "$ns-cli" "$here/../with_wine.sh" "$0" "$FILVANE" "$WDRIVE"
  exit $?
fi

D=$LOGON_DIR
TITLE="$MAIN_TITLE - \\\\$SERVER"
WATCHED_TITLE=$TITLE
source "$here/holders.sh"
finish() {
  stop_holders "$D"
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
}
trap finish EXIT

echo hello >"$D/shares/公共/读我.txt"
chmod 666 "$D/shares/公共/读我.txt"
"$D/samba_hold" daemon Filv-pw1 r "$D/ready.reader" "$D/release.reader" "smb://$SERVER/公共/读我.txt" >"$D/hold.reader" 2>&1 &
holders+=($!)
for _ in $(seq 100); do [ -f "$D/ready.reader" ] && break; sleep 0.1; done
[ -f "$D/ready.reader" ] || fail "the client could not open its file: $(cat "$D/hold.reader")"

# No account anywhere: no variable, a fresh home and configuration folder.
unset FILVANE_SAMBA_CREDENTIALS
export HOME=$D/home XDG_CONFIG_HOME=$D/home/config FILVANE_SAMBA_CONF=$D/none.conf
mkdir -p "$HOME"
remembered=$XDG_CONFIG_HOME/filvane/servers/$SERVER.conf
mkdir -p "$D/work"
cd "$D/work" || fail "no working folder"

lists_filled() {
  for _ in $(seq 60); do
    wd cells "$TITLE" 1000 | grep -qP "^daemon\t\Q$CLIENT\E\t" \
      && wd cells "$TITLE" 1001 | grep -qP '读我\.txt\tdaemon\t读取' && return 0
    sleep 0.25
  done
  return 1
}
cause_shown() {  # cause_shown CODE
  for _ in $(seq 40); do
    wd item "$LOGON_TITLE" 1102 | grep -qF "($1)" && return 0
    sleep 0.25
  done
  return 1
}

start_filvane "\\\\$SERVER"
wd wait "$LOGON_TITLE" 20000 || fail "no account dialog; status line: $(wd item "$TITLE" 1043)"
cause_shown 1244 || fail "the dialog does not name the missing account: $(wd item "$LOGON_TITLE" 1102)"
wd settext "$LOGON_TITLE" 1103 root
wd settext "$LOGON_TITLE" 1104 wrong
wd command "$LOGON_TITLE" 1
wd gone "$LOGON_TITLE" 10000 || fail "the dialog stayed after OK: $(wd item "$LOGON_TITLE" 1106)"
wd wait "$LOGON_TITLE" 20000 || fail "a refused password was not asked for again: $(wd item "$TITLE" 1043)"
cause_shown 1326 || fail "the dialog does not name the refused password: $(wd item "$LOGON_TITLE" 1102)"
[ -e "$remembered" ] && fail "an account not to be remembered was stored"
wd settext "$LOGON_TITLE" 1103 root
wd settext "$LOGON_TITLE" 1104 "$PASSWORD"
wd check "$LOGON_TITLE" 1105
wd command "$LOGON_TITLE" 1
wd gone "$LOGON_TITLE" 10000 || fail "the dialog stayed after OK: $(wd item "$LOGON_TITLE" 1106)"
lists_filled || fail "the lists did not fill with the given account: $(wd cells "$TITLE" 1000); $(wd item "$TITLE" 1043)"
wd wait "$LOGON_TITLE" 3000 && fail "the dialog came again once the account was taken"

[ "$(stat -c %a "$remembered" 2>&1)" = 600 ] || fail "remembered file: $(stat -c %a "$remembered" 2>&1)"
[ "$(stat -c %a "$(dirname "$remembered")")" = 700 ] || fail "its folder is $(stat -c %a "$(dirname "$remembered")")"
[ "$(cat "$remembered")" = "$(printf 'username=root\npassword=%s' "$PASSWORD")" ] || fail "remembered: $(cat "$remembered")"
[ "$(ls -A "$(dirname "$remembered")")" = "$SERVER.conf" ] || fail "left beside it: $(ls -A "$(dirname "$remembered")")"
# Every process of this run (Filvane, Wine's, the tools) keeps the password
# out of its command line and environment.
for f in /proc/[0-9]*/cmdline /proc/[0-9]*/environ; do
  grep -qaF "$PASSWORD" "$f" 2>/dev/null && fail "$f holds the password: $(tr '\0' ' ' <"$f")"
done
quit_filvane

start_filvane "\\\\$SERVER"
lists_filled || fail "a second start did not list with the remembered account: $(wd item "$TITLE" 1043)"
wd wait "$LOGON_TITLE" 2000 && fail "a second start asked again"
quit_filvane
echo "PASS"
