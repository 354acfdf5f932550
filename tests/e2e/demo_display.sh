# shellcheck shell=bash
# A private X server (Xvfb) on a free display, for the demo without a display
# and for the package check. Sourced.

# start_private_display DIR: DIR keeps its files; sets DISPLAY and XVFB_PID.
start_private_display() {
  # Xvfb writes the display it took to -displayfd once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" >"$1/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 300); do
    if [ -s "$1/display" ]; then
      DISPLAY=":$(cat "$1/display")"
      export DISPLAY
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start: $(cat "$1/xvfb.log")" >&2
  return 1
}

stop_private_display() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
