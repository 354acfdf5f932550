#!/usr/bin/env bash
# Filvane at a busy server's scale: CONNECTIONS clients hold FILES files open
# each (default 100 x 100 = 10,000 opens) on a private smbd in a network
# namespace of this script's own. Checks that every open and every session
# is listed, and that one client's rows go at the next pass once it lets go.
# Prints what a user waits for, for docs/performance.md:
#   shown_s   from the main window's first appearance to all rows listed
#   cpu_core  Filvane, its children and its wineserver over 30 s of steady
#             passes, in cores
#   server_idle_core, server_watched_core
#             the server's processes (smbd, samba-dcerpcd, rpcd_*) over 30 s
#             with the clients still, before Filvane starts and while it
#             watches; server_added_core is the difference
#   settling_cpu_core, settling_server_added_core
#             the same over the 10 s before, right after all rows showed
#   rss_mb    Filvane's resident memory after those 30 s
#   one_open_s  from one open closing, or coming back in another mode, to
#             the list showing it while every other open stays still (each
#             also adds an entry to the day's activity log)
#   change_s  from a client letting go to its open files gone
# With BUSY_PERCENT=P the clients also spend 30 s with P % of the opens
# changing each second (half closing, those closed a second before coming
# back), before Filvane starts and while it watches:
#   busy_changes_s      what the clients changed each second
#   busy_cpu_core, busy_server_added_core   as above, while busy
#   busy_age_s          the oldest age the status line told over 20 s of
#                       samples, and how many samples told one
#   busy_one_open_s     one open's change under that load (the list narrowed
#                       to the single client's rows by the find box)
#
#   samba_scale_e2e.sh Filvane.exe.so wdrive.exe.so [CONNECTIONS [FILES]]
# Needs root (namespace, smbd).
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
CONNECTIONS=${3:-100} FILES=${4:-100}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"

source "$here/filvane_harness.sh"
run_in_namespace scale "$FILVANE" "$WDRIVE" "$CONNECTIONS" "$FILES"

loads=()
finish() {
  touch "$D/release" "$D/release.one"
  for p in "${loads[@]}"; do wait "$p" 2>/dev/null; done
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
  stop_private_server
}
start_private_server scale
"$here/samba_server.sh" client "$D" "$here/samba_load.c" || fail "cannot build the load"

now() { date +%s.%N; }
since() { echo "$(now) - $1" | bc; }
count() { wd count "$MAIN_TITLE" "$1"; }
# Waits until list LIST_ID holds ROWS rows, for at most LIMIT seconds.
wait_rows() {  # wait_rows LIST_ID ROWS LIMIT
  local end=$(($(date +%s) + $3))
  while [ "$(date +%s)" -lt "$end" ]; do
    [ "$(count "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
# utime + stime + children's, in clock ticks.
ticks() { awk '{ print $14 + $15 + $16 + $17 }' "/proc/$1/stat"; }
wineserver_pid() {
  for pid in $(pgrep -x wineserver64 || pgrep -x wineserver); do
    tr '\0' '\n' <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
  done
}

# One client lets go on its own, the others together.
users=(-u daemon%Filv-pw1 -u bin%Filv-pw2)
opens=$((CONNECTIONS * FILES))
busy=()
[ -n "${BUSY_PERCENT:-}" ] && busy=(-b $((opens * BUSY_PERCENT / 100)) -B "$D/busy" -l "$D/busy.log")
"$D/samba_load" -c $((CONNECTIONS - 1)) -f "$FILES" -r "$D/ready" -R "$D/release" -t 900 "${busy[@]}" "${users[@]}" &
loads+=($!)
"$D/samba_load" -c 1 -f "$FILES" -p one -r "$D/ready.one" -R "$D/release.one" -t 900 "${users[@]}" &
loads+=($!)
for _ in $(seq 6000); do [ -f "$D/ready" ] && [ -f "$D/ready.one" ] && break; sleep 0.1; done
[ -f "$D/ready" ] && [ -f "$D/ready.one" ] || fail "the clients could not open their files"
# The clients' own opening still settles in the server for a moment.
sleep 5
idle=$("$here/server_cpu.py" 30)
echo "server_idle_core=$idle"
if [ ${#busy[@]} -gt 0 ]; then
  touch "$D/busy"
  sleep 3
  busy_idle=$("$here/server_cpu.py" 30)
  rm "$D/busy"
  echo "busy_server_idle_core=$busy_idle"
  sleep 2
fi

# Changes are logged, with the sessions.
key='HKLM\Software\QuindarSoft\Filvane'
for v in StartLog SaveSession; do
  wine reg add "$key" /v "$v" /t REG_SZ /d 1 /f >/dev/null 2>&1 || fail "cannot set $v"
done
mkdir -p "$D/work"
cd "$D/work"
export FILVANE_SAMBA_CONF=$D/smb.conf FILVANE_SAMBA_CREDENTIALS=$D/admin.conf
start_filvane
started=$(now)
wait_rows 1001 "$opens" 120 || fail "not all $opens opens listed: $(count 1001)"
wait_rows 1000 "$CONNECTIONS" 30 || fail "not all $CONNECTIONS sessions listed: $(count 1000)"
echo "opens=$opens sessions=$CONNECTIONS shown_s=$(since "$started")"

server=$(wineserver_pid)
[ -n "$server" ] || fail "no wineserver of this prefix"
hz=$(getconf CLK_TCK)
# Filvane's cores (with its children and wineserver) while the server's are
# sampled for SECONDS (30 unless given): sets own and watched.
watch_30s() {  # watch_30s [SECONDS]
  local t0 a0 b0 a1 b1
  t0=$(now) a0=$(ticks "$FILVANE_PID") b0=$(ticks "$server")
  watched=$("$here/server_cpu.py" "${1:-30}")
  a1=$(ticks "$FILVANE_PID") b1=$(ticks "$server")
  own=$(echo "scale=3; ($a1 - $a0 + $b1 - $b0) / $hz / ($(now) - $t0)" | bc)
}
# The passes right after the first listing fetch the server's own ids (the
# first shows the opens from the lock listing): a cost paid once, apart from
# the steady one.
watch_30s 10
echo "settling_cpu_core=$own settling_server_added_core=$(echo "$watched - $idle" | bc)"
watch_30s
echo "cpu_core=$own"
echo "server_watched_core=$watched server_added_core=$(echo "$watched - $idle" | bc)"
echo "rss_mb=$(awk '/^VmRSS/ { print int($2 / 1024) }' "/proc/$FILVANE_PID/status")"

# One open changes at a time (the single client's first file closes, then
# comes back read-only); each change shows at the next pass and is logged.
entries() { cat ./*.dat 2>/dev/null | wc -l; }
flip_one() {  # flip_one ROWS [NAME]: asks for the change, waits for ROWS rows
  local logged watcher at
  logged=$(entries)
  wd rows "$MAIN_TITLE" 1001 "$1" 10000 &
  watcher=$!
  sleep 3
  kill -USR1 "${loads[1]}"
  at=$(now)
  wait "$watcher" || fail "one open's change not listed: $(count 1001) rows, not $1"
  echo "${2:-one_open_s}=$(since "$at")"
  sleep 1
  [ "$(entries)" -gt "$logged" ] || fail "one open's change not in the day's log"
}
flip_one $((opens - 1))
flip_one "$opens"
wd cells "$MAIN_TITLE" 1001 | grep -P 'one-daemon.c0000.f00000\.txt\t[^\t]*\t读取\t' >/dev/null \
  || fail "the reopened file is not listed as read"

if [ ${#busy[@]} -gt 0 ]; then
  : >"$D/busy.log"
  touch "$D/busy"
  sleep 3
  watch_30s
  echo "busy_cpu_core=$own"
  echo "busy_server_watched_core=$watched busy_server_added_core=$(echo "$watched - $busy_idle" | bc)"
  # The status line, once a second: the oldest age it told (whole seconds).
  # Anything else it says (a failure, with its time) is printed as it is.
  oldest=0 told=0 others=()
  for _ in $(seq 20); do
    line=$(wd item "$MAIN_TITLE" 1043)
    age=$(printf '%s' "$line" | sed -n 's/.*列表已\([0-9][0-9]*\)秒.*/\1/p')
    if [ -n "$age" ]; then
      told=$((told + 1))
      [ "$age" -gt "$oldest" ] && oldest=$age
    elif [ -n "$line" ]; then
      others+=("$line")
    fi
    sleep 1
  done
  echo "busy_age_s=$oldest told_in=$told/20"
  [ ${#others[@]} -gt 0 ] && printf 'busy_status_other=%s\n' "${others[@]}" | sort | uniq -c
  # The single client's rows alone, so a count tells its change apart.
  wd settext "$MAIN_TITLE" 1051 one-daemon
  wd rows "$MAIN_TITLE" 1001 "$FILES" 30000 || fail "the find box did not narrow the list: $(count 1001)"
  flip_one $((FILES - 1)) busy_one_open_s
  flip_one "$FILES" busy_one_open_s
  wd settext "$MAIN_TITLE" 1051 ""
  rm "$D/busy"
  echo "busy_changes_s=$(awk '{ n++; c += $2 + $3 } END { if (n) printf "%.0f", c / n }' "$D/busy.log")"
  wd rows "$MAIN_TITLE" 1001 "$opens" 30000 || fail "the closed opens did not come back: $(count 1001)"
fi

# The watcher is up before the client lets go, so its own start is not timed.
wd rows "$MAIN_TITLE" 1001 $((opens - FILES)) 60000 &
watcher=$!
sleep 3
touch "$D/release.one"
released=$(now)
wait "$watcher" || fail "the released client's opens stayed: $(count 1001)"
echo "change_s=$(since "$released")"
wait_rows 1000 $((CONNECTIONS - 1)) 10 || fail "the released client's session stayed: $(count 1000)"
quit_filvane
