# shellcheck shell=bash
# Filvane's main window as the demo and its checks see it: opened past the
# about box, its lists read, its picture taken. Sourced; the functions use
# filvane_wine.sh (titles, wd), which needs the build's version first.

# build_version BUILD_DIR: the version the build was made with (5.1.0).
build_version() {
  sed -n 's/^#define FILVANE_VERSION_TEXT "\(.*\)"/\1/p' "$1/generated/filvane_version.h"
}

# open_main_window: closes the about box Filvane shows while it starts, then
# waits for the main window. Generous: the first start of a prefix is slow.
open_main_window() {
  wd wait "$ABOUT_TITLE" 120000 && wd close "$ABOUT_TITLE" && wd wait "$MAIN_TITLE" 60000
}

# wait_for_rows LIST_ID MIN SECONDS [PATTERN]: true once the list view holds
# at least MIN rows (that match the Perl pattern PATTERN).
wait_for_rows() {
  local deadline=$((SECONDS + $3))
  while [ "$SECONDS" -lt "$deadline" ]; do
    [ "$(wd cells "$MAIN_TITLE" "$1" | grep -cP "${4:-.}")" -ge "$2" ] && return 0
    sleep 0.5
  done
  return 1
}

# shoot_main_window FILE: the main window, with the frame Wine draws, as PNG.
shoot_main_window() {
  local window
  window=$(xdotool search --onlyvisible --name "$MAIN_TITLE" | head -1)
  [ -n "$window" ] && import -window "$window" "$1"
}
