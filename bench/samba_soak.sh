#!/usr/bin/env bash
# Filvane left running under churn, as it sits in a file server's tray: a
# private smbd in a network namespace of this script's own, CONNECTIONS
# clients each opening 1 to MAX_FILES files, holding them 3 to 7 s and letting
# go, for SECONDS (default 1200 = 20 minutes), with the activity log on
# (sessions and open files). Prints, for docs/performance.md:
#   rss_first_mb rss_last_mb   Filvane's resident memory after the warm-up
#                              minute and at the end
#   rss_slope_mb_per_h         least-squares slope of the samples after the
#                              warm-up minute (one every 10 s)
#   opens holds                what the clients did
#   entries counter day_file   the day file's entries, its counter, and
#                              "well-formed" or what is wrong with it
#
#   samba_soak.sh Filvane.exe.so wdrive.exe.so [SECONDS [CONNECTIONS [MAX_FILES]]]
# Needs root (namespace, smbd). Samples go to $SOAK_SAMPLES when set.
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
SECONDS_TO_RUN=${3:-1200} CONNECTIONS=${4:-50} MAX_FILES=${5:-20}
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../tests/e2e
export FILVANE_VERSION=${FILVANE_VERSION:-$(sed -n 's/^project(Filvane VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")}
source "$e2e/filvane_wine.sh"

source "$e2e/filvane_harness.sh"
run_in_namespace soak "$FILVANE" "$WDRIVE" "$SECONDS_TO_RUN" "$CONNECTIONS" "$MAX_FILES"

churn_pid=
finish() {
  [ -n "$churn_pid" ] && kill "$churn_pid" 2>/dev/null && wait "$churn_pid"
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
  stop_private_server
}
start_private_server soak
"$e2e/samba_server.sh" client "$D" "$here/samba_churn.c" || fail "cannot build the churn"

key='HKLM\Software\QuindarSoft\Filvane'
for v in "StartLog 1" "SaveSession 1" "SaveFile 1"; do
  set -- $v
  wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
done
wine reg add "$key" /v Dirs /t REG_SZ /d "$(printf 'Z:%s' "$D/shares/docs" | tr / '\\')|" /f >/dev/null 2>&1
mkdir -p "$D/work"
cd "$D/work"
export FILVANE_SAMBA_CONF=$D/smb.conf FILVANE_SAMBA_CREDENTIALS=$D/admin.conf
start_filvane

"$D/samba_churn" -c "$CONNECTIONS" -f "$MAX_FILES" -d "$SECONDS_TO_RUN" -o "$D/counts" \
  -u daemon%Filv-pw1 -u bin%Filv-pw2 2>"$D/churn.log" &
churn_pid=$!
samples=${SOAK_SAMPLES:-$D/samples}
: >"$samples"
started=$(date +%s)
while kill -0 "$churn_pid" 2>/dev/null; do
  kill -0 "$FILVANE_PID" 2>/dev/null || fail "Filvane ended during the soak"
  printf '%s %s\n' "$(($(date +%s) - started))" "$(awk '/^VmRSS:/ { print $2 }' "/proc/$FILVANE_PID/status")" \
    >>"$samples"
  sleep 10
done
wait "$churn_pid"
churn_status=$?
churn_pid=
[ "$churn_status" -eq 0 ] || fail "the churn did not run: $(tail -3 "$D/churn.log")"
sleep 2  # the pass after the last client left
quit_filvane
FILVANE_PID=

awk 'NR > 1 && $1 >= 60 { n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2; if (!first) first = $2; last = $2 }
     END { if (n < 2) { print "too few samples"; exit 1 }
           slope = (n * sxy - sx * sy) / (n * sxx - sx * sx)
           printf "rss_first_mb=%.1f rss_last_mb=%.1f rss_slope_mb_per_h=%.1f samples=%d\n",
                  first / 1024, last / 1024, slope * 3600 / 1024, n }' "$samples" || fail "no RSS slope"
awk '{ opens += $1; holds += $2; failed += $3 } END { printf "opens=%d holds=%d failed_opens=%d\n", opens, holds, failed }' \
  "$D/counts"
day=$(ls "$D"/work/*.dat 2>/dev/null | head -1)
[ -n "$day" ] || fail "no day file written"
python3 "$e2e/day_file_check.py" "$day"
