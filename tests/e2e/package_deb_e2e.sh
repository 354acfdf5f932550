#!/usr/bin/env bash
# The Debian package as an administrator meets it: built by CPack from the
# linux build and installed with apt; the launcher refuses a non-root user
# with advice; as root, under Xvfb, it shows a private smbd's sessions and
# open files, 主机检测 and Ping start the installed companions, 使用说明 opens
# the help file, and the day file lands in /var/log/filvane (root:adm, 2750,
# the file 640). apt-get remove
# then leaves only the logs, and purge leaves nothing.
# Run from the repository root once build/linux is built (test.sh does);
# needs root and a free 127.0.0.1:445, and filvane not installed.
set -euo pipefail
root=$PWD
build=$(realpath "${1:-$root/build/linux}")
here=$root/tests/e2e
source "$here/demo_window.sh"
source "$here/demo_display.sh"
source "$here/demo_cleanup.sh"
FILVANE_VERSION=$(build_version "$build")
WDRIVE=$build/tests/support/wdrive.exe.so
source "$here/filvane_wine.sh"
system_prefix=/var/lib/filvane/wine

[ "$(id -u)" -eq 0 ] || fail "needs root: it installs a package"
case $(dpkg-query -W -f '${Status}' filvane 2>/dev/null || true) in
  '' | *not-installed) ;;
  *) fail "filvane is installed on this machine: this check would replace and purge it" ;;
esac
[ -z "$(ss -Hltn 'sport = :445')" ] || fail "port 445 is taken; the check's Samba server needs it"

check=$(mktemp -d /tmp/filvane-package-check.XXXXXX)
chmod 755 "$check"
export FILVANE_PACKAGE_CHECK=$check
filvane=
finish() {
  set +e
  [ -d "$system_prefix" ] && wineserver -k 2>/dev/null
  "$here/demo_activity.sh" stop "$check/server" >/dev/null 2>&1
  stop_private_display
  end_marked_processes "FILVANE_PACKAGE_CHECK=$check"
  dpkg-query -W filvane >/dev/null 2>&1 && apt-get purge -y -q filvane >/dev/null 2>&1
  rm -rf "$check"
}
trap finish EXIT
# wd and reg reach the prefix the launcher makes; the launcher itself gets
# no WINEPREFIX, so it takes its own default.
export LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEPREFIX=$system_prefix

echo "building the package"
cmake --build "$build" --target package >"$check/package.log" 2>&1 || fail "cpack failed: $(tail -20 "$check/package.log")"
deb=$build/packages/filvane_${FILVANE_VERSION}_amd64.deb
[ -f "$deb" ] || fail "no $deb"
dpkg-deb -f "$deb" Depends
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' >"$check/files"
if [ -f "$build/help/filvane.chm" ]; then
  grep -qx /usr/lib/filvane/filvane.chm "$check/files" || fail "the help file is not in the package"
fi

echo "installing it with apt"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$check/apt.log" 2>&1 || fail "apt: $(tail "$check/apt.log")"
for library in /usr/lib/filvane/*.so; do
  ! ldd "$library" | grep 'not found' || fail "$library needs a library the package does not bring"
done
desktop-file-validate /usr/share/applications/filvane.desktop || fail "the desktop entry is not valid"
[ "$(identify -format '%m %wx%h' /usr/share/icons/hicolor/256x256/apps/filvane.png)" = "PNG 256x256" ] ||
  fail "the desktop icon is not a 256x256 PNG"
warnings=$(MANWIDTH=80 man --warnings -l /usr/share/man/man1/filvane.1.gz 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"
[ "$(readlink -f /usr/bin/brenvik)" = /usr/bin/filvane ] && [ "$(readlink -f /usr/bin/corvap)" = /usr/bin/filvane ] ||
  fail "brenvik and corvap do not lead to the launcher"

"$here/demo_activity.sh" start "$check/server"
start_private_display "$check"
export FILVANE_SAMBA_CONF=$check/server/smb.conf FILVANE_SAMBA_CREDENTIALS=$check/server/admin.conf
export FILVANE_SERVER=http://127.0.0.1:9

# Another user, started from a menu (no terminal), is told what to do in a
# message window; Filvane does not start.
runuser -u nobody -- env -u WINEPREFIX filvane </dev/null >"$check/nobody.log" 2>&1 &
nobody=$!
for _ in $(seq 60); do
  message_window=$(xdotool search --name '^xmessage$' 2>/dev/null | head -1) && [ -n "$message_window" ] && break
  sleep 0.5
done
[ -n "$message_window" ] || fail "no message window for a non-root user: $(cat "$check/nobody.log")"
xdotool windowkill "$message_window"
wait "$nobody" && fail "filvane ran for a non-root user"
grep -q 'sudo filvane' "$check/nobody.log" || fail "no advice for a non-root user: $(cat "$check/nobody.log")"

# As root, the installed launcher with its own prefix and log folder.
start_installed_filvane() {
  env -u WINEPREFIX filvane </dev/null >>"$check/filvane.log" 2>&1 &
  filvane=$!
  # The first start prepares the prefix; wd may join it once Filvane runs.
  for _ in $(seq 360); do
    pgrep -f '^[^ ]*/usr/lib/filvane/Filvane\.exe\.so' >/dev/null && break
    kill -0 "$filvane" 2>/dev/null || fail "the launcher ended: $(cat "$check/filvane.log")"
    sleep 0.5
  done
  open_main_window || fail "no main window: $(cat "$check/filvane.log")"
}
quit_installed_filvane() {
  wd close "$MAIN_TITLE"
  wait "$filvane" || fail "Filvane ended with $?"
}

echo "starting the installed filvane"
start_installed_filvane
[ -f "$system_prefix/system.reg" ] || [ -d "$system_prefix/drive_c" ] || fail "no Wine prefix in $system_prefix"
wait_for_rows 1000 1 60 '^daemon\t127\.0\.0\.1\t' || fail "daemon's session is not listed"
wait_for_rows 1000 1 30 '^bin\t127\.0\.0\.1\t' || fail "bin's session is not listed"
wait_for_rows 1001 1 30 '\\年度报告\.txt\tdaemon\t读取\t' || fail "daemon's open file is not listed"

wd command "$MAIN_TITLE" 32775
wd wait "主机检测" 30000 || fail "主机检测 did not start brenvik: $(wd text Filvane)"
pgrep -f '/usr/lib/filvane/brenvik\.exe\.so' >/dev/null || fail "the brenvik that runs is not the installed one"
wd close "主机检测"
wd command "$MAIN_TITLE" 32777
wd wait "Ping" 30000 || fail "Ping did not start Corvap: $(wd text Filvane)"
pgrep -f '/usr/lib/filvane/corvap\.exe\.so' >/dev/null || fail "the Corvap that runs is not the installed one"
wd close "Ping"
if grep -qx /usr/lib/filvane/filvane.chm "$check/files"; then
  wd command "$MAIN_TITLE" 32787
  for _ in $(seq 60); do
    pgrep -f 'hh\.exe .*\\usr\\lib\\filvane\\filvane\.chm' >/dev/null && break
    sleep 0.5
  done
  help=$(pgrep -f 'hh\.exe .*\\usr\\lib\\filvane\\filvane\.chm') || fail "使用说明 did not open the help file: $(wd text Filvane)"
  xargs kill <<<"$help"
fi
quit_installed_filvane

# With logging on, the day file is written in /var/log/filvane.
for value in StartLog SaveSession; do
  wine reg add 'HKLM\Software\QuindarSoft\Filvane' /v $value /t REG_SZ /d 1 /f >/dev/null 2>&1
done
start_installed_filvane
for _ in $(seq 60); do
  ls /var/log/filvane/*.dat >/dev/null 2>&1 && break
  sleep 0.5
done
ls /var/log/filvane/*.dat >/dev/null 2>&1 || fail "no day file in /var/log/filvane"
quit_installed_filvane
# The logs name users, computers and paths: root and the adm group only.
folder_mode=$(stat -c '%a %U %G' /var/log/filvane)
[ "$folder_mode" = "2750 root adm" ] || fail "/var/log/filvane is $folder_mode, not 2750 root adm"
for log in /var/log/filvane/*.dat /var/log/filvane/vlerror.log; do
  [ -e "$log" ] || continue
  log_mode=$(stat -c '%a %U %G' "$log")
  [ "$log_mode" = "640 root adm" ] || fail "$log is $log_mode, not 640 root adm"
done
socket=$(wine_socket_folder "$system_prefix")
"$here/demo_activity.sh" stop "$check/server"
stop_private_display

echo "removing the package"
apt-get remove -y -q filvane >"$check/apt.log" 2>&1 || fail "apt-get remove: $(tail "$check/apt.log")"
while read -r file; do
  [ ! -e "$file" ] && [ ! -L "$file" ] || fail "$file is left after apt-get remove"
done <"$check/files"
[ ! -e /usr/lib/filvane ] || fail "/usr/lib/filvane is left after apt-get remove"
[ -z "$socket" ] || [ ! -e "$socket" ] || fail "the Wine server's socket folder $socket is left"
ls /var/log/filvane/*.dat >/dev/null 2>&1 || fail "apt-get remove took the logs"
apt-get purge -y -q filvane >"$check/apt.log" 2>&1 || fail "apt-get purge: $(tail "$check/apt.log")"
for folder in /var/lib/filvane /var/log/filvane /usr/share/doc/filvane; do
  [ ! -e "$folder" ] || fail "$folder is left after apt-get purge"
done
! dpkg-query -W filvane >/dev/null 2>&1 || fail "dpkg still knows filvane after purge"
# Listed by builtins only: this script's own commands carry the mark too.
left=$(marked_processes "FILVANE_PACKAGE_CHECK=$check")
[ -z "$left" ] || fail "processes left after purge: $(ps -o pid=,args= -p "${left//$'\n'/,}")"
echo "PASS: the Debian package installs, runs its programs side by side and goes cleanly"
