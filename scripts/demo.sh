#!/usr/bin/env bash
# Filvane at work: a private Samba server on 127.0.0.1, a demo client that
# holds files open as two users and opens and closes one more every few
# seconds, and Filvane watching it with its activity log on. Filvane is
# installed beside brenvik and Corvap, so its toolbar starts them. Without a
# display it runs under a private Xvfb, and a screenshot is kept up to date.
# Needs root: the server listens on port 445.
#
#   bash scripts/demo.sh                    until Ctrl-C, or until Filvane closes
#   bash scripts/demo.sh --screenshot FILE  once both users' files show, a
#                                           picture of the main window, then stop
#   bash scripts/demo.sh --cache-prefix     start from a copy of a ready Wine
#                                           prefix kept in ~/.cache/filvane
#
# Stopping ends everything the demo started and removes its folders.
# FILVANE_BUILD_DIR: a linux build that is set up already (default: set up
# this machine, then configure and build build/linux).
# FILVANE_DEMO_CACHE: where --cache-prefix keeps the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

usage() {
  echo "usage: bash scripts/demo.sh [--screenshot FILE] [--cache-prefix]" >&2
  exit 2
}
die() {
  echo "demo.sh: $*" >&2
  exit 1
}

screenshot='' cache=''
while [ $# -gt 0 ]; do
  case $1 in
    --screenshot)
      [ $# -ge 2 ] || usage
      screenshot=$(realpath -m "$2")
      [ -d "$(dirname "$screenshot")" ] || die "no folder $(dirname "$screenshot") for the screenshot"
      shift 2
      ;;
    --cache-prefix)
      cache=${FILVANE_DEMO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/filvane}
      shift
      ;;
    *) usage ;;
  esac
done
[ "$(id -u)" -eq 0 ] || die "run it as root: the demo's Samba server listens on port 445"
if [ -n "$(ss -Hltn 'sport = :445')" ]; then
  die "port 445 is taken (a Samba server running? systemctl stop smbd); the demo's server needs it"
fi

if [ -n "${FILVANE_BUILD_DIR:-}" ]; then
  build=$(realpath "$FILVANE_BUILD_DIR")
else
  bash scripts/setup.sh
  cmake --preset linux
  build=$root/build/linux
fi
cmake --build "$build" -j"$(nproc)" --target linux_programs wdrive
source "$root/tests/e2e/demo_window.sh"
FILVANE_VERSION=$(build_version "$build")
WDRIVE=$build/tests/support/wdrive.exe.so
source "$root/tests/e2e/filvane_wine.sh"
source "$root/tests/e2e/demo_cleanup.sh"
source "$root/tests/e2e/demo_display.sh"

demo=$(mktemp -d /tmp/filvane-demo.XXXXXX)
# The demo users open files inside: mktemp's folder is closed to them.
chmod 755 "$demo"
# Everything started from here carries this, so stopping finds it all.
export FILVANE_DEMO_DIR=$demo
export WINEPREFIX=$demo/wine WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
watcher='' filvane='' private_display=''
stop_demo() {
  trap '' INT TERM
  set +e
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  # Filvane first, closed as a user closes it, so that it ends cleanly.
  if [ -n "$filvane" ] && kill -0 "$filvane" 2>/dev/null; then
    wd close "$MAIN_TITLE" >/dev/null 2>&1
    for _ in $(seq 100); do
      kill -0 "$filvane" 2>/dev/null || break
      sleep 0.1
    done
  fi
  remove_wine_prefix "$WINEPREFIX"
  "$root/tests/e2e/demo_activity.sh" stop "$demo/server" >/dev/null 2>&1
  stop_private_display
  end_marked_processes "FILVANE_DEMO_DIR=$demo"
  rm -rf "$demo"
  echo "demo stopped; its processes ended and $demo is removed"
}
trap stop_demo EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
echo "demo folder: $demo"

"$root/tests/e2e/demo_activity.sh" start "$demo/server"
cmake --install "$build" --prefix "$demo/app" --component programs >/dev/null
# A picture needs the same screen every time; without a display there is none.
if [ -n "$screenshot" ] || [ -z "${DISPLAY:-}" ]; then
  start_private_display "$demo"
  private_display=yes
fi
echo "display: $DISPLAY"

# One cached prefix per Wine version.
wine_version=$(wine --version | tr -cs 'A-Za-z0-9.~-' -)
if [ -n "$cache" ] && [ -f "$cache/$wine_version/system.reg" ]; then
  cp -a "$cache/$wine_version" "$WINEPREFIX"
else
  echo "preparing a Wine prefix (a minute or so$([ -n "$cache" ] && echo ", once"))"
  wineboot -i >/dev/null 2>&1
  if [ -n "$cache" ]; then
    wineserver -w
    mkdir -p "$cache"
    rm -rf "$cache/$wine_version.new"
    cp -a "$WINEPREFIX" "$cache/$wine_version.new"
    mv "$cache/$wine_version.new" "$cache/$wine_version"
    echo "Wine prefix cached in $cache/$wine_version (rm -rf $cache to clear it)"
  fi
fi
# Logging on, with sessions and open files, so the log query has something to
# show. Without a window manager, Wine draws the window frames itself.
cat >"$demo/settings.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\QuindarSoft\Filvane]
"StartLog"="1"
"SaveSession"="1"
"SaveFile"="1"
REG
if [ -n "$private_display" ]; then
  printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Decorated"="N"\n' >>"$demo/settings.reg"
fi
wine reg import "$demo/settings.reg" >/dev/null 2>&1 || die "could not write the demo's settings into its registry"

export FILVANE_LOG_DIR=$demo/work
export FILVANE_SAMBA_CONF=$demo/server/smb.conf FILVANE_SAMBA_CREDENTIALS=$demo/server/admin.conf
# The update check and the home page stay on this machine.
export FILVANE_SERVER=${FILVANE_SERVER:-http://127.0.0.1:9}
"$demo/app/bin/filvane" &
filvane=$!

open_main_window || die "Filvane's main window did not open"

if [ -n "$screenshot" ]; then
  wait_for_rows 1000 2 60 && wait_for_rows 1001 2 60 || die "the demo users' sessions and files did not show"
  shoot_main_window "$screenshot" || die "could not take the screenshot"
  echo "screenshot: $screenshot"
  exit 0
fi

cat <<INFO
Filvane is running. daemon holds 公共/年度报告.txt open, bin holds docs/计划.txt
open, and bin opens docs/notes.txt for 4 s every 8 s: watch the session and
open-file lists. 记录查询 queries the activity log, 关闭文件 closes the selected
open file, 主机检测 and Ping start brenvik and Corvap.
  activity log: $demo/work (the day file appears with the first change)
INFO
if [ -n "$private_display" ]; then
  cat <<INFO
  screenshot, renewed every 5 s: $demo/filvane.png
  to see and use the window: apt-get install x11vnc; x11vnc -display $DISPLAY -localhost,
  then a VNC viewer (README: The demo)
INFO
fi
echo "Ctrl-C, or closing Filvane, ends the demo."

# Tells where the day file is once there is one, and keeps the screenshot new.
(
  while true; do
    if [ -z "${day_file:-}" ] && day_file=$(ls "$demo"/work/*.dat 2>/dev/null | head -1) && [ -n "$day_file" ]; then
      echo "  day file: $day_file"
    fi
    if [ -n "$private_display" ]; then
      shoot_main_window "$demo/filvane.new.png" 2>/dev/null && mv "$demo/filvane.new.png" "$demo/filvane.png"
    fi
    sleep 5
  done
) &
watcher=$!
wait "$filvane" || true
echo "Filvane closed"
