#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix, under Xvfb when there is no display,
# with code page 936 as Wine's ANSI code page. Exit 77 (skip) without Wine.
set -u
command -v wine >/dev/null || { echo "wine is not installed"; exit 77; }
if [ -z "${DISPLAY:-}" ]; then
  # Wine's desktop process takes its display at start: everything runs inside.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
prefix=
remove_prefix() {
  [ -n "$prefix" ] || return 0
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  # The server writes the registry as it exits: wait, or it refills the folder.
  WINEPREFIX=$prefix wineserver -w 2>/dev/null
  # The wine server's socket folder is named after the prefix's device and
  # inode; it would outlive the prefix.
  local socket
  socket=$(printf 'server-%x-%x' $(stat -c '%d %i' "$prefix"))
  for dir in /tmp/wine-*/"$socket"; do [ -d "$dir" ] && rm -rf "$(dirname "$dir")"; done
  rm -rf "$prefix" "$prefix.boot.log"
  prefix=
}
trap remove_prefix EXIT
export WINEDEBUG=${WINEDEBUG:--all} LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
# The home page opened at shutdown must never leave this machine.
export FILVANE_SERVER=${FILVANE_SERVER:-http://127.0.0.1:9}
# A rare first boot ends early and leaves a prefix without its system DLLs,
# where every program fails with "could not load kernel32.dll": check the
# prefix, and give the boot one more try before failing with its output.
for attempt in 1 2; do
  prefix=$(mktemp -d /tmp/filvane-wine.XXXXXX)
  export WINEPREFIX=$prefix
  wineboot -i >"$prefix.boot.log" 2>&1
  status=$?
  [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ] && break
  echo "with_wine.sh: wineboot -i (exit $status, attempt $attempt) left no kernel32.dll in $prefix:" >&2
  sed 's/^/  /' "$prefix.boot.log" >&2
  remove_prefix
  [ "$attempt" -eq 2 ] && exit 1
done
"$@"
