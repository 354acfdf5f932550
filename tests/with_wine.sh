#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix, under Xvfb when there is no display,
# with code page 936 as Wine's ANSI code page. Exit 77 (skip) without Wine.
set -u
command -v wine >/dev/null || { echo "wine is not installed"; exit 77; }
if [ -z "${DISPLAY:-}" ]; then
  # Wine's desktop process takes its display at start: everything runs inside.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
prefix=$(mktemp -d /tmp/filvane-wine.XXXXXX)
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  # The wine server's socket folder is named after the prefix's device and
  # inode; it would outlive the prefix.
  local socket
  socket=$(printf 'server-%x-%x' $(stat -c '%d %i' "$prefix"))
  for dir in /tmp/wine-*/"$socket"; do [ -d "$dir" ] && rm -rf "$(dirname "$dir")"; done
  rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
# The home page opened at shutdown must never leave this machine.
export FILVANE_SERVER=${FILVANE_SERVER:-http://127.0.0.1:9}
wineboot -i >/dev/null 2>&1
"$@"
