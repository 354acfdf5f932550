#!/usr/bin/env bash
# Filvane's day file against a real smbd and real clients, in a network
# namespace of this script's own:
#   - a file name holding CR LF and forged labels, opened by a client under
#     its mangled name, stays one value: the day file stays well-formed and
#     the query shows the name inside its one record;
#   - a day file cut mid-entry gets its next entry on a line of its own, and
#     the query lists every entry;
#   - all clients leaving is logged, and so is the same set reconnecting;
#   - the working folder's disk full for 20 s under churn: the lists keep
#     changing, the status line names the cause, the box waits for nobody,
#     appends resume by themselves and the file stays well-formed.
#
#   daylog_e2e.sh Filvane.exe.so wdrive.exe.so
# Needs root (namespace, smbd, tmpfs).
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"

source "$here/filvane_harness.sh"
run_in_namespace daylog "$FILVANE" "$WDRIVE"

holders=()
churn_pid=
finish() {
  touch "$D"/release.* 2>/dev/null
  for p in "${holders[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$churn_pid" ] && kill "$churn_pid" 2>/dev/null
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
  cd /
  umount "$D/work" 2>/dev/null
  stop_private_server
}
start_private_server daylog
work=$D/work
"$here/samba_server.sh" client "$D" "$here/../../bench/samba_churn.c" || fail "cannot build the churn"
S=$D/shares
win() { printf 'Z:%s' "$1" | tr / '\\'; }
echo data >"$S/docs/a.txt"
chmod 666 "$S/docs/a.txt"

# A name made to forge an entry and a record, as someone who may create
# files on the server's disk can make it.
today=$(date +%Y-%-m-%-d)
forged=$'x\r\n时间:'"$today"$' 0:0:0内容:第1条会话记录:用户:FAKE计算机:6.6.6.6 r第7条文件记录:文件:Z:\\evil.exe访问者:admin打开模式:写入 .txt'
echo bait >"$S/公共/$forged"
chmod 666 "$S/公共/$forged"
mangled=$(smbclient -s "$D/smb.conf" '//127.0.0.1/公共' -U daemon%Filv-pw1 -c ls 2>/dev/null \
  | grep -oP '^\s+\K\S*~\S*' | head -1)
[ -n "$mangled" ] || fail "the server shows no mangled name for the forged file"

hold() {  # hold TAG USER PASSWORD MODE URL...
  rm -f "$D/ready.$1" "$D/release.$1"
  "$D/samba_hold" "$2" "$3" "$4" "$D/ready.$1" "$D/release.$1" "${@:5}" >"$D/hold.$1" 2>&1 &
  holders+=($!)
  for _ in $(seq 100); do [ -f "$D/ready.$1" ] && return 0; sleep 0.1; done
  fail "client $1 could not open its files: $(cat "$D/hold.$1")"
}
wait_row() {  # wait_row LIST_ID PATTERN [absent]
  for _ in $(seq 60); do
    if wd cells "$MAIN_TITLE" "$1" | grep -qP "$2"; then [ "${3:-}" != absent ] && return 0
    else [ "${3:-}" = absent ] && return 0; fi
    sleep 0.25
  done
  return 1
}
day_text() { iconv -f GBK -t UTF-8 "$day"; }
check_day() { python3 "$here/day_file_check.py" "$day" || fail "the day file is not well-formed ($1)"; }

# The working folder is a small disk of its own, so it can be filled.
mkdir -p "$work"
mount -t tmpfs -o size=4m tmpfs "$work" || fail "cannot mount a tmpfs"
cd "$work" || fail "no working folder"
day=$work/$(date +%Y%-m%-d).dat
# Today's file as a crash leaves it: the counter raised, the last entry cut
# mid-record without its line end.
printf '数目:2     \r\n时间:%s 0:0:1内容:第1条会话记录:用户:early计算机:PC0打开文件数目:0连接时间:1秒空闲时间:1秒 〓\r\n时间:%s 0:0:2内容:第1条会话记录:用户:cut计算机:PC9打开文' \
  "$today" "$today" | iconv -f UTF-8 -t GBK >"$day"

key='HKLM\Software\QuindarSoft\Filvane'
for v in "StartLog 1" "SaveSession 1" "SaveFile 1"; do
  set -- $v
  wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
done
wine reg add "$key" /v Dirs /t REG_SZ /d "$(win "$S/公共")|$(win "$S/docs")|" /f >/dev/null 2>&1
export FILVANE_SAMBA_CONF=$D/smb.conf FILVANE_SAMBA_CREDENTIALS=$D/admin.conf
start_filvane

# The forged name opened by a client, beside another client.
hold forged daemon Filv-pw1 r "smb://127.0.0.1/公共/$mangled"
hold plain bin Filv-pw2 r 'smb://127.0.0.1/docs/a.txt'
wait_row 1001 '\tdaemon\t读取\t' || fail "the forged file's open did not appear: $(wd cells "$MAIN_TITLE" 1001)"
wait_row 1000 '^bin\t' || fail "the second session did not appear"
sleep 2
check_day "after the first entries"
lines=$(day_text)
grep -qP '^时间:\S+ 0:0:2内容:第1条会话记录:用户:cut计算机:PC9打开文\r$' <<<"$lines" \
  || fail "the cut entry is not a line of its own: $lines"
grep -q 'FAKE' <<<"$lines" || fail "no entry holds the forged file's open: $lines"
grep 'FAKE' <<<"$lines" | grep -qP '%0D%0A时间：\S+ 0:0:0内容：第1条会话记录：用户：FAKE' \
  || fail "the forged name is not escaped as one value: $(grep FAKE <<<"$lines")"
[ "$(grep -c '用户:FAKE' <<<"$lines")" -eq 0 ] || fail "a forged session record reads as one"
[ "$(grep -c '访问者:admin' <<<"$lines")" -eq 0 ] || fail "a forged open-file record reads as one"

# The query reads the file as written: every entry listed, the forged name
# one value of daemon's record.
wd command "$MAIN_TITLE" 32772
wd wait "日志查询" 10000 || fail "no log query dialog"
wd settime "日志查询" 1031 0 0 0
wd settime "日志查询" 1032 23 59 59
wd command "日志查询" 1004
for _ in $(seq 40); do wd item "日志查询" 1047 | grep -q '用户:bin' && break; sleep 0.25; done
sessions_box=$(wd item "日志查询" 1047)
files_box=$(wd item "日志查询" 1048)
entries_with_sessions=$(grep -c '条会话记录:' <<<"$lines")
[ "$(grep -c '条会话记录:' <<<"$sessions_box")" -eq "$entries_with_sessions" ] \
  || fail "the query lists $(grep -c '条会话记录:' <<<"$sessions_box") of $entries_with_sessions entries: $sessions_box"
grep -q '用户:cut计算机:PC9打开文$' <<<"$sessions_box" || fail "the cut entry is not listed on its own: $sessions_box"
grep -qP '文件:Z:[^ ]*x%0D%0A时间：.*访问者：admin打开模式：写入 \.txt访问者:daemon打开模式:读取 ' <<<"$files_box" \
  || fail "the forged name is not one value of daemon's record: $files_box"
wd close "日志查询"
wd gone "日志查询" 10000 || fail "the query dialog did not close"

# Every client leaves: an entry without records; the same clients back: an
# entry with them again.
touch "$D/release.forged" "$D/release.plain"
wait_row 1000 '.' absent || fail "sessions still listed after every client left"
sleep 2
check_day "after every client left"
last=$(day_text | tail -1)
grep -qP '^时间:\S+ \S+内容:〓\r$' <<<"$last" || fail "the last session ending was not logged: $last"
hold forged2 daemon Filv-pw1 r "smb://127.0.0.1/公共/$mangled"
hold plain2 bin Filv-pw2 r 'smb://127.0.0.1/docs/a.txt'
wait_row 1000 '^bin\t' || fail "the clients did not come back"
sleep 2
check_day "after the clients came back"
last=$(day_text | tail -1)
grep -q '用户:daemon' <<<"$last" && grep -q '用户:bin' <<<"$last" \
  || fail "the same clients reconnecting were not logged: $last"
touch "$D/release.forged2" "$D/release.plain2"

# The disk fills up under churn for 20 s.
dd if=/dev/zero of="$work/filler" bs=64k 2>/dev/null
"$D/samba_churn" -c 6 -f 3 -d 30 -o "$D/counts" -u daemon%Filv-pw1 -u bin%Filv-pw2 2>"$D/churn.log" &
churn_pid=$!
full_since=$(date +%s)
views=()
status=
for _ in $(seq 20); do
  sleep 1
  views+=("$(wd cells "$MAIN_TITLE" 1001 | cut -f1,2 | sort | md5sum)")
  s=$(wd item "$MAIN_TITLE" 1043)
  grep -q '写入日志文件失败:磁盘空间不足(112)' <<<"$s" && status=$s
done
[ -n "$status" ] || fail "the status line did not name the full disk: $(wd item "$MAIN_TITLE" 1043)"
grep -qP '^\d\d:\d\d:\d\d 写入日志文件失败' <<<"$status" || fail "the status line does not say since when: $status"
[ "$(printf '%s\n' "${views[@]}" | sort -u | wc -l)" -ge 4 ] || fail "the open-file list stopped changing on a full disk"
if wd wait Filvane 2000; then
  box=$(wd text Filvane)
  [ "$box" = "写入日志文件失败!" ] || [ "$box" = "写入出错日志文件失败!" ] || fail "unexpected box: $box"
  wd command Filvane 1
else
  fail "no box told of the failed write"
fi
echo "full disk for $(($(date +%s) - full_since)) s: $status"
rm -f "$work/filler"
resumed=
for _ in $(seq 40); do
  s=$(wd item "$MAIN_TITLE" 1043)
  if grep -qP '^\d\d:\d\d:\d\d 日志文件已恢复写入,期间有\d+条记录未能写入$' <<<"$s"; then resumed=$s; break; fi
  sleep 0.25
done
[ -n "$resumed" ] || fail "the status line did not tell of the resumed appends: $(wd item "$MAIN_TITLE" 1043)"
echo "$resumed"
wait "$churn_pid"
churn_pid=
sleep 2
check_day "after the full disk"
quit_filvane
FILVANE_PID=
echo "PASS: the day file on the real Samba server"
