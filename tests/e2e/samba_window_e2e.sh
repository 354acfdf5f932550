#!/usr/bin/env bash
# Filvane's window against a private smbd in a network namespace of this
# script's own:
# - an account file others may read leaves the session list listed, names
#   its cause in the status line and the error log, and lists no session of
#   Filvane's own; once mended, the open files show;
# - a close asked about one open whose id the server gives to another file
#   while the question is up closes nothing and says the file changed.
#
#   samba_window_e2e.sh Filvane.exe.so wdrive.exe.so
# Needs root (namespace, smbd).
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"

source "$here/filvane_harness.sh"
run_in_namespace window "$FILVANE" "$WDRIVE"

clients=()
finish() {
  touch "$D"/release.* 2>/dev/null
  for dir in "$D"/reuse.*/; do [ -d "$dir" ] && touch "$dir/release"; done
  for p in "${clients[@]}"; do wait "$p" 2>/dev/null; done
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
  stop_private_server
}
start_private_server window
"$here/samba_server.sh" client "$D" "$here/samba_reuse_id.c" || fail "cannot build samba_reuse_id"
S=$D/shares
echo hello >"$S/公共/读我.txt"
chmod 666 "$S/公共/读我.txt"
win() { printf 'Z:%s' "$1" | tr / '\\'; }
url() { printf 'smb://127.0.0.1/%s' "$1"; }
# Polls a list of the main window until a line matches the grep pattern.
wait_row() {  # wait_row LIST_ID PATTERN [absent]
  for _ in $(seq 60); do
    if wd cells "$MAIN_TITLE" "$1" | grep -qP "$2"; then [ "${3:-}" != absent ] && return 0
    else [ "${3:-}" = absent ] && return 0; fi
    sleep 0.25
  done
  return 1
}
status_text() { wd item "$MAIN_TITLE" 1043; }

"$D/samba_hold" daemon Filv-pw1 r "$D/ready.reader" "$D/release.reader" "$(url 公共/读我.txt)" >"$D/hold.reader" 2>&1 &
clients+=($!)
for _ in $(seq 100); do [ -f "$D/ready.reader" ] && break; sleep 0.1; done
[ -f "$D/ready.reader" ] || fail "the client could not open its file"

# An account file others may read: refused, and said why.
cp "$D/admin.conf" "$D/account.conf"
chmod 644 "$D/account.conf"
mkdir -p "$D/work"
cd "$D/work"
export FILVANE_SAMBA_CONF=$D/smb.conf FILVANE_SAMBA_CREDENTIALS=$D/account.conf
start_filvane
wait_row 1000 '^daemon\t127\.0\.0\.1\t1\t' || fail "no session listed with the account file refused: $(wd cells "$MAIN_TITLE" 1000)"
cause='Samba管理员账户文件的权限不是600(1338)'
for _ in $(seq 40); do status_text | grep -qF "$cause" && break; sleep 0.25; done
status_text | grep -qF "$cause" || fail "the status line does not name the mode: $(status_text)"
[ -f vlerror.log ] && iconv -f GBK -t UTF-8 vlerror.log | grep -qF 'ERROR_INVALID_SECURITY_DESCR(Samba管理员账户文件的权限不是600)' \
  || fail "the error log does not name the mode: $(iconv -f GBK -t UTF-8 vlerror.log 2>&1)"
wd cells "$MAIN_TITLE" 1000 | grep -qP '^root\t' && fail "Filvane's own connection is listed"

chmod 600 "$D/account.conf"
wait_row 1001 "^\Q$(win "$S/公共/读我.txt")\E\tdaemon\t" || fail "the open did not show once the account file was mended"
for _ in $(seq 40); do [ -z "$(status_text)" ] && break; sleep 0.25; done
[ -z "$(status_text)" ] || fail "the status line stays after the mend: $(status_text)"
wd cells "$MAIN_TITLE" 1000 | grep -qP '^root\t' && fail "Filvane's own connection is listed"
# Refused again while Filvane is connected with it: its connection is still
# its own, never a client's.
chmod 644 "$D/account.conf"
for _ in $(seq 40); do status_text | grep -qF "$cause" && break; sleep 0.25; done
status_text | grep -qF "$cause" || fail "the status line does not name the mode again: $(status_text)"
for _ in $(seq 8); do
  wd cells "$MAIN_TITLE" 1000 | grep -qP '^root\t' && fail "Filvane's own connection is listed once its account is refused"
  sleep 0.5
done
chmod 600 "$D/account.conf"
wait_row 1001 "^\Q$(win "$S/公共/读我.txt")\E\tdaemon\t" || fail "the open did not show once the account file was mended again"
touch "$D/release.reader"

# Ids: an open's id is its smbd's pid << 16 | the process's open counter, so
# when the counter of one connection's process passes 65,535 its ids reach
# those of another process whose pid has the same bits and more. Clients,
# each a process of its own on the server, hold a file each; one that holds
# the open asked about lets go, another opens and closes until its next open
# takes that very id.
clients_held=8
for i in $(seq "$clients_held"); do
  mkdir -p "$D/reuse.$i"
  echo "$i" >"$S/docs/first$i.txt"
  echo "$i" >"$S/docs/second$i.txt"
  chmod 666 "$S/docs/first$i.txt" "$S/docs/second$i.txt"
  "$D/samba_reuse_id" bin Filv-pw2 "$(url "docs/first$i.txt")" "$(url "docs/second$i.txt")" "$D/reuse.$i" \
    >"$D/reuse.$i.log" 2>&1 &
  clients+=($!)
done
for i in $(seq "$clients_held"); do
  for _ in $(seq 100); do [ -f "$D/reuse.$i/held" ] && break; sleep 0.1; done
  [ -f "$D/reuse.$i/held" ] || fail "client $i could not open its file: $(cat "$D/reuse.$i.log")"
done
wait_row 1001 "first$clients_held\.txt" || fail "the clients' opens did not show"
sleep 2  # a pass with every open
wd cells "$MAIN_TITLE" 1001 >"$D/opens"
# "i id" of each client's open, the id as an unsigned number.
ids=$(awk -F'\t' 'match($1, /first[0-9]+\.txt$/) {
        i = substr($1, RSTART + 5, RLENGTH - 9); id = $4 < 0 ? $4 + 4294967296 : $4; printf "%s %.0f\n", i, id }' "$D/opens")
[ "$(wc -l <<<"$ids")" -eq "$clients_held" ] || fail "not every client's open is listed: $(cat "$D/opens")"
# The pair with the fewest cycles: the target's pid holds every bit of the
# cycler's, the counters' difference is even (each open takes two).
plan=
best=-1
while read -r x x_id; do
  while read -r y y_id; do
    x_pid=$((x_id >> 16)) y_pid=$((y_id >> 16)) x_low=$((x_id & 0xFFFF)) y_low=$((y_id & 0xFFFF))
    extra=$((x_pid - y_pid))
    [ "$extra" -gt 0 ] && [ $((y_pid & extra)) -eq 0 ] && [ $(((x_low - y_low) % 2)) -eq 0 ] || continue
    n=$(((extra * 65536 + x_low - y_low - 2) / 2))
    if [ "$n" -ge 0 ] && { [ "$best" -lt 0 ] || [ "$n" -lt "$best" ]; }; then
      best=$n plan="$x $y $n $x_id"
    fi
  done <<<"$ids"
done <<<"$ids"
[ -n "$plan" ] || { echo "SKIP: no two server processes whose pids let one reach the other's ids: $ids"; exit 77; }
read -r target cycler cycles target_id <<<"$plan"
echo "client $target's open (id $target_id) is asked about; client $cycler opens $cycles times to take its id"

row=$(grep -nP "\Qfirst$target.txt\E\t" "$D/opens" | cut -d: -f1)
wd select "$MAIN_TITLE" 1001 $((row - 1))
wd command "$MAIN_TITLE" 32776
wd wait "关闭提示" 10000 || fail "no question"
question=$(wd text "关闭提示")
[ "$question" = "确定要关闭打开文件“$(win "$S/docs/first$target.txt")”吗?" ] || fail "question: $question"
# While the question is up: the target lets go, the cycler takes its id.
echo 0 >"$D/reuse.$target/request"
for _ in $(seq 100); do [ -f "$D/reuse.$target/done.1" ] && break; sleep 0.1; done
[ -f "$D/reuse.$target/done.1" ] || fail "client $target did not let go"
echo "$cycles" >"$D/reuse.$cycler/request"
for _ in $(seq 1200); do [ -f "$D/reuse.$cycler/done.1" ] && break; sleep 0.1; done
[ -f "$D/reuse.$cycler/done.1" ] || fail "client $cycler did not finish its cycles: $(cat "$D/reuse.$cycler.log")"
# The list shows the other file under the id asked about.
signed_id=$((target_id >= 2147483648 ? target_id - 4294967296 : target_id))
wait_row 1001 "^\Q$(win "$S/docs/second$cycler.txt")\E\tbin\t读取\t$signed_id$" \
  || fail "the server did not give id $target_id to client $cycler's file: $(wd cells "$MAIN_TITLE" 1001)"
wd command "关闭提示" 1
wd wait Filvane 15000 || fail "no outcome message"
[ "$(wd text Filvane)" = "该文件已变化,没有关闭任何文件!" ] || fail "outcome: $(wd text Filvane)"
wd command Filvane 1
sleep 2
wait_row 1001 "^\Q$(win "$S/docs/second$cycler.txt")\E\tbin\t读取\t$signed_id$" \
  || fail "the other file was closed: $(wd cells "$MAIN_TITLE" 1001)"
quit_filvane
echo "PASS"
