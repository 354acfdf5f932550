#!/usr/bin/env bash
# Pictures of the toolbar, the open tray menu and the maximised window with
# a sorted, narrowed list into docs/ (run from the
# repository root after a linux build):
#   tests/with_wine.sh scripts/shell_screenshots.sh build/linux/tests/win/shell_showcase.exe.so
set -eu
showcase=$1
docs=$(pwd)/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && wine "$showcase") &
shown=$!
wait_for() {  # a marker file, for at most 30 s
  for _ in $(seq 150); do [ -e "$work/$1" ] && return 0; sleep 0.2; done
  echo "no $1" >&2; return 1
}
wait_for toolbar.ready
import -window root "$work/screen1.png"
touch "$work/toolbar.done"
wait_for menu.ready
import -window root "$work/screen2.png"
touch "$work/menu.done"
wait_for lists.ready
import -window root "$docs/main_window_sorted_filtered.png"
touch "$work/lists.done"
wait "$shown"
# The main window sits at (20, 20), its client area 20 pixels lower; the menu
# opens at the cursor (820, 140).
convert "$work/screen1.png" -crop 606x90+20+40 +repage "$docs/toolbar.png"
convert "$work/screen2.png" -crop 150x180+815+135 +repage "$docs/tray_menu.png"
