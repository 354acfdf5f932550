#!/usr/bin/env bash
# End-to-end: the real Corvap program in a network namespace of its own,
# pinging 127.0.0.1 (cross-checked against iputils ping), a peer namespace
# that ignores echo requests, an on-link address nobody holds and a network
# the peer routes nowhere (both answered by ICMP errors, beside iputils
# ping), and a name under .invalid. The namespace has no route off the
# machine, so the failed lookup sends nothing anywhere. Then the
# single-instance refusal and the history across a restart.
#
# usage: corvap_e2e.sh corvap.exe.so wdrive.exe.so      (CORVAP_SHOT=file.png: screenshot)
set -u
corvap=$1
wdrive=$2
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root for network namespaces and raw sockets"
command -v wine >/dev/null || skip "wine is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
ip netns list >/dev/null 2>&1 || skip "ip netns is unavailable"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

here=ns-corvap-$$
peer=ns-corvap-peer-$$
prefix=$(mktemp -d /tmp/corvap-e2e.XXXXXX)
failures=0
cleanup() {
  ip netns exec "$here" env WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  ip netns del "$here" 2>/dev/null
  ip netns del "$peer" 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT

ip netns add "$here" && ip netns add "$peer" || skip "cannot create network namespaces"
ip link add cvp0-$$ netns "$here" type veth peer name cvp1-$$ netns "$peer" || skip "cannot create a veth pair"
ip -n "$here" link set lo up
ip -n "$here" addr add 10.213.88.1/24 dev cvp0-$$
ip -n "$here" link set cvp0-$$ up
ip -n "$peer" link set lo up
ip -n "$peer" addr add 10.213.88.2/24 dev cvp1-$$
ip -n "$peer" link set cvp1-$$ up
ip netns exec "$peer" sysctl -q -w net.ipv4.icmp_echo_ignore_all=1
# The peer routes 10.213.89.0/24 into an unreachable route: it answers with
# "host unreachable" at once, every time (no rate limit on its errors).
ip netns exec "$peer" sysctl -q -w net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0
ip -n "$peer" route add unreachable 10.213.89.0/24
ip -n "$here" route add 10.213.89.0/24 via 10.213.88.2

inside() { ip netns exec "$here" env WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" "$@"; }
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok   - $1"; else echo "FAIL - $1"; failures=$((failures + 1)); fi
}
rows() { inside wine "$wdrive" cells Ping 1002 2>/dev/null | tr -d '\r'; }
row_count() { rows | wc -l; }
# Waits (at most $2 tenths of a second) until the list has $1 rows.
wait_rows() {
  local i
  for ((i = 0; i < $2; i++)); do
    [ "$(row_count)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
# Runs ping on $1, $2 times; waits (at most $4 tenths of a second) for $3
# more rows and then $5 seconds for the run to end. `shown` gets the rows it
# added from its $6th on.
run_and_show() {
  local before
  before=$(row_count)
  start_run "$1" "$2"
  wait_rows $((before + $3)) "$4"
  sleep "$5"
  shown=$(rows | sed -n "$((before + $6)),\$p")
  echo "$shown" | sed 's/^/     corvap: /'
}
# Types a host and a count with the keyboard, then presses Ping.
start_run() {
  local window
  window=$(xdotool search --name '^Ping$' | head -1)
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  inside wine "$wdrive" post Ping 0x0028 0 >/dev/null  # WM_NEXTDLGCTL 0: back to the host box
  xdotool key --clearmodifiers Home shift+End BackSpace
  xdotool type --delay 30 "$1"
  xdotool key Tab
  xdotool type --delay 30 "$2"
  inside wine "$wdrive" command Ping 1003
}

inside wineboot -i >/dev/null 2>&1
inside wine "$corvap" &
corvap_pid=$!
inside wine "$wdrive" wait Ping 20000 || { echo "FAIL - Corvap's window did not appear"; exit 1; }

# 1. 127.0.0.1 three times, beside iputils ping.
reference=$(ip netns exec "$here" ping -n -c 3 127.0.0.1)
echo "$reference" | sed 's/^/     iputils: /'
start_run 127.0.0.1 3
wait_rows 4 80
sleep 1.5  # the pause after the last reply, then the end of the run
shown=$(rows)
echo "$shown" | sed 's/^/     corvap: /'
check "header shows the typed address and the address" \
  test "$(echo "$shown" | sed -n 1p)" = "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:"
check "three replies with TTL 64" test "$(echo "$shown" | grep -c '^Reply\[[123]\] from: 127.0.0.1: bytes=32 time=[0-9]*ms TTL=64$')" -eq 3
iputils_ttl=$(echo "$reference" | grep -o 'ttl=[0-9]*' | sort -u)
check "iputils saw the same TTL" test "$iputils_ttl" = "ttl=64"
iputils_max=$(echo "$reference" | sed -n 's/.*= [0-9.]*\/[0-9.]*\/\([0-9.]*\)\/.*/\1/p')
corvap_max=$(echo "$shown" | grep -o 'time=[0-9]*' | cut -d= -f2 | sort -n | tail -1)
echo "     slowest: iputils ${iputils_max} ms, corvap ${corvap_max} ms (millisecond ticks)"
# Wineserver round trips on a busy machine add tens of milliseconds; a time
# read from the wrong bytes would be off by far more.
check "times in line with iputils (within 250 ms of its slowest)" \
  awk -v a="$corvap_max" -v b="$iputils_max" 'BEGIN { exit !(a >= 0 && a <= b + 250) }'

# 2. A peer that ignores echo requests: one time-out per second.
start_run 10.213.88.2 2
first=""
for ((i = 0; i < 60; i++)); do
  n=$(rows | grep -c '^Request Timed Out$')
  [ -z "$first" ] && [ "$n" -ge 1 ] && first=$(date +%s%N)
  [ "$n" -ge 2 ] && { second=$(date +%s%N); break; }
  sleep 0.1
done
shown=$(rows)
echo "$shown" | sed -n '5,$p' | sed 's/^/     corvap: /'
check "separator row before the second run" test "$(echo "$shown" | sed -n 5p)" = ""
check "header for the silent peer" \
  test "$(echo "$shown" | sed -n 6p)" = "Pinging 10.213.88.2 [10.213.88.2] with 32 bytes of data:"
gap=$(( (${second:-0} - ${first:-0}) / 1000000 ))
check "two time-outs a second apart (${gap} ms)" test "$gap" -ge 700 -a "$gap" -le 1500

# 3. ICMP errors about our requests: their own lines, without a time.
# An on-link address nobody holds: address resolution gives up after about
# three seconds, and the kernel reports "host unreachable" for the requests
# it held.
ip -n "$here" neigh flush dev cvp0-$$
reference=$(ip netns exec "$here" ping -n -c 4 10.213.88.9 2>&1)
echo "$reference" | grep -v '^$' | sed 's/^/     iputils: /'
check "iputils reports the on-link address unreachable" grep -q 'From 10.213.88.1 icmp_seq=1 Destination Host Unreachable' <<<"$reference"
ip -n "$here" neigh flush dev cvp0-$$
# Separator, header and a line per attempt at least; then the end of the run.
run_and_show 10.213.88.9 5 7 150 2.5 2
check "the unreachable on-link address gets the unreachable line, like ping's" \
  grep -qx 'Reply from 10.213.88.1: Destination host unreachable.' <<<"$shown"
check "no reply line and no time for it" test "$(grep -c 'time=\|^Reply\[' <<<"$shown")" -eq 0
# A network the peer cannot reach: each request is answered at once.
reference=$(ip netns exec "$here" ping -n -c 2 10.213.89.1 2>&1)
echo "$reference" | grep -v '^$' | sed 's/^/     iputils: /'
run_and_show 10.213.89.1 2 4 80 1.5 2
check "iputils sees the router's unreachable" grep -q 'From 10.213.88.2 icmp_seq=1 Destination Host Unreachable' <<<"$reference"
check "each request answered by the router's unreachable line, none timed out" test "$shown" = "$(printf '%s\n' \
  'Pinging 10.213.89.1 [10.213.89.1] with 32 bytes of data:' \
  'Reply from 10.213.88.2: Destination host unreachable.' 'Reply from 10.213.88.2: Destination host unreachable.')"
[ -n "${CORVAP_SHOT:-}" ] && import -window root "$CORVAP_SHOT"

# 4. A name that does not resolve.
sleep 0.5
run_and_show nohost.invalid 1 2 50 1 1
check "exactly one 'Host not found' line and no header" \
  test "$shown" = "$(printf '\nHost not found: nohost.invalid')"

# 5. A second copy is refused and exits 0.
inside wine "$corvap" &
second_pid=$!
inside wine "$wdrive" wait corvap 20000
refusal=$(inside wine "$wdrive" text corvap | tr -d '\r')
check "second copy shows the refusal" test "$refusal" = "已经运行了一个PING程序!"
inside wine "$wdrive" command corvap 2 >/dev/null  # the box's OK button
wait "$second_pid"
check "second copy exits 0" test $? -eq 0

# 6. The history: saved on close, in the registry, back after a restart.
inside wine "$wdrive" command Ping 2
wait "$corvap_pid"
query=$(inside wine reg query 'HKCU\Software\RODA\corvap\MRU' | tr -d '\r')
echo "$query" | sed 's/^/     reg: /'
check "Entries is a REG_DWORD 4" grep -Eq 'Entries +REG_DWORD +0x4$' <<<"$query"
check "resolved hosts saved in order, the unresolved one not" \
  test "$(grep -Eo 'Host#[0-9] +REG_SZ +.*' <<<"$query" | awk '{print $1 "=" $3}' | tr '\n' ' ')" = \
  "Host#0=10.213.88.2 Host#1=10.213.88.9 Host#2=10.213.89.1 Host#3=127.0.0.1 "
inside wine "$corvap" &
corvap_pid=$!
inside wine "$wdrive" wait Ping 20000
window=$(xdotool search --name '^Ping$' | head -1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool type --delay 30 "12"
sleep 0.5
check "restarted window completes from the saved history" \
  test "$(inside wine "$wdrive" item Ping 1001 | tr -d '\r')" = "127.0.0.1"
inside wine "$wdrive" command Ping 2
wait "$corvap_pid"

[ "$failures" -eq 0 ] && echo "all checks passed" || echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
