# Shared by the Filvane end-to-end scripts: titles, and helpers that start the
# program and pass its about box. Sourced; expects FILVANE and WDRIVE, and
# FILVANE_VERSION (CTest sets it from the build's one version).
: "${FILVANE_VERSION:?the program version, for example 5.1.0}"
MAIN_TITLE="Zelqo共享文件监控器 v${FILVANE_VERSION%.*} 免费版"
ABOUT_TITLE="关于$MAIN_TITLE"

fail() { echo "FAIL: $*"; exit 1; }
# The Windows build's C runtime ends printed lines with CR LF.
wd() { wine "$WDRIVE" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# Starts Filvane with ARGS in the background (its pid in FILVANE_PID) and
# closes the about box it shows while initialising. The main window is
# looked for by WATCHED_TITLE when set (another server's window names it).
start_filvane() {  # start_filvane [ARGS...]
  wine "$FILVANE" "$@" &
  FILVANE_PID=$!
  wd wait "$ABOUT_TITLE" 30000 || fail "no about box at start-up"
  wd close "$ABOUT_TITLE"
  wd wait "${WATCHED_TITLE:-$MAIN_TITLE}" 20000 || fail "no main window titled ${WATCHED_TITLE:-$MAIN_TITLE}"
}

# Closes the main window and waits for the process to end with code 0.
quit_filvane() {
  wd close "${WATCHED_TITLE:-$MAIN_TITLE}" || fail "main window gone before quitting"
  wait "$FILVANE_PID" || fail "Filvane exited with $?"
  FILVANE_PID=
}
