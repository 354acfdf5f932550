#!/usr/bin/env bash
# Filvane on the real Samba server: shares, sessions and opens appear and go,
# the monitored-folder filter, closing a client's open for real, and the day's
# activity log. Runs inside with_wine.sh; needs root and a free 127.0.0.1:445.
set -u
FILVANE=$1 WDRIVE=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
command -v smbd >/dev/null || { echo "SKIP: no smbd"; exit 77; }
if ss -ltn 2>/dev/null | grep -q '127.0.0.1:445 \|0.0.0.0:445 \|\*:445 '; then echo "SKIP: port 445 busy"; exit 77; fi

D=$(mktemp -d /tmp/filvane-e2e.XXXXXX)
holders=()
finish() {
  touch "$D"/release.* 2>/dev/null
  for p in "${holders[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
  "$here/samba_server.sh" stop "$D" >/dev/null 2>&1
  rm -rf "$D"
}
trap finish EXIT
"$here/samba_server.sh" start "$D" || fail "private smbd did not start"
S=$D/shares
echo hello >"$S/公共/读我.txt"
echo data >"$S/docs/a.txt"
chmod 666 "$S"/*/*.txt
win() { printf 'Z:%s' "$1" | tr / '\\'; }
hold() {  # hold TAG USER PASSWORD MODE URL...
  "$D/samba_hold" "$2" "$3" "$4" "$D/ready.$1" "$D/release.$1" "${@:5}" >"$D/hold.$1" 2>&1 &
  holders+=($!)
  for _ in $(seq 100); do [ -f "$D/ready.$1" ] && return 0; sleep 0.1; done
  fail "client $1 could not open its files"
}
# Polls a list of the main window until a line matches the grep pattern.
wait_row() {  # wait_row LIST_ID PATTERN [absent]
  for _ in $(seq 40); do
    if wd cells "$MAIN_TITLE" "$1" | grep -qP "$2"; then [ "${3:-}" != absent ] && return 0
    else [ "${3:-}" = absent ] && return 0; fi
    sleep 0.25
  done
  return 1
}

# Logging on, sessions and open files recorded, only the 公共 share monitored.
key='HKLM\Software\QuindarSoft\Filvane'
for v in "StartLog 1" "SaveSession 1" "SaveFile 1"; do
  set -- $v
  wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
done
wine reg add "$key" /v Dirs /t REG_SZ /d "$(win "$S/公共")|" /f >/dev/null 2>&1
work=$D/work
mkdir -p "$work"
cd "$work"
export FILVANE_SAMBA_CONF=$D/smb.conf FILVANE_SAMBA_CREDENTIALS=$D/admin.conf
start_filvane

wd cells "$MAIN_TITLE" 1005 >"$D/shares.txt"
grep -qP '^IPC\$\t\t0\t' "$D/shares.txt" || fail "IPC\$ row with an empty path missing: $(cat "$D/shares.txt")"
grep -qP "^公共\t\Q$(win "$S/公共")\E\t" "$D/shares.txt" || fail "share 公共 missing"
[ "$(head -1 "$D/shares.txt" | cut -f1)" = 'hidden$' ] || fail "shares not in reverse order (hidden\$ is returned last)"

# A share added to the configuration shows at the next tick of timer 1.
mkdir -p "$D/shares/新增"
printf '[新增]\n    path = %s\n    read only = no\n' "$D/shares/新增" >>"$D/smb.conf"
wd post "$MAIN_TITLE" 275 1  # WM_TIMER, timer 1
wait_row 1005 '^新增\t' || fail "the added share did not show at the next tick"

hold reader daemon Filv-pw1 r 'smb://127.0.0.1/公共/读我.txt'
hold other bin Filv-pw2 r 'smb://127.0.0.1/docs/a.txt'
hold writer bin Filv-pw2 w 'smb://127.0.0.1/公共/写入.txt'
hold both daemon Filv-pw1 rw 'smb://127.0.0.1/公共/两者.txt'
# An anonymous connection, as a network browse makes one.
(sleep 60 | smbclient -s "$D/smb.conf" -U% '//127.0.0.1/IPC$' >/dev/null 2>&1) &
holders+=($!)
wait_row 1001 "^\Q$(win "$S/公共/读我.txt")\E\tdaemon\t读取\t-?\d+$" || fail "the open did not appear"
wait_row 1001 "^\Q$(win "$S/公共/写入.txt")\E\tbin\t写入\t-?\d+$" || fail "a write open does not read 写入"
wait_row 1001 "^\Q$(win "$S/公共/两者.txt")\E\tdaemon\t写入\+读取\t-?\d+$" || fail "a read-write open does not read 写入+读取"
wd cells "$MAIN_TITLE" 1000 | grep -qP '^nobody\t' && fail "the anonymous connection is listed"
touch "$D/release.writer" "$D/release.both"
wait_row 1000 '^daemon\t127\.0\.0\.1\t1\t\d+秒\t\d+秒$' || fail "the session with one open did not appear"
wd item "$MAIN_TITLE" 1043 | grep -q . && fail "a failure is shown while all is well: $(wd item "$MAIN_TITLE" 1043)"
wd cells "$MAIN_TITLE" 1001 | grep -q 'a.txt' && fail "an open outside the monitored folder is listed"
# Polled like the rows above: a pass applied while the rows are being read
# shifts them under the reader.
wait_row 1000 '^bin\t' || fail "the other user's session is missing"

# Close the reader's open from the window, for real. The writer lets go on
# its own time and its row may come first: row 0 is the reader's only once
# that row is gone.
wait_row 1001 '写入' absent || fail "the writer's released open is still listed"
wd select "$MAIN_TITLE" 1001 0
wd command "$MAIN_TITLE" 32776
wd wait "关闭提示" 10000 || fail "no confirmation; the list: $(wd cells "$MAIN_TITLE" 1001); a message: $(wd text Filvane 2>&1)"
question=$(wd text "关闭提示")
[ "$question" = "确定要关闭打开文件“$(win "$S/公共/读我.txt")”吗?" ] || fail "question: $question"
wd command "关闭提示" 1
wd wait Filvane 15000 || fail "no outcome message"
[ "$(wd text Filvane)" = "关闭文件成功!" ] || fail "outcome: $(wd text Filvane)"
wd command Filvane 1
wait_row 1001 '读我' absent || fail "the closed open is still listed"
touch "$D/release.reader"
sleep 1
grep -q '^io failed' "$D/hold.reader" || fail "the client could still read its closed handle: $(cat "$D/hold.reader")"

# An open that ends while the question is up: the close fails.
hold late daemon Filv-pw1 r 'smb://127.0.0.1/公共/读我.txt'
wait_row 1001 '读我' || fail "the second open did not appear"
wd select "$MAIN_TITLE" 1001 0
wd command "$MAIN_TITLE" 32776
wd wait "关闭提示" 10000 || fail "no confirmation for the second close"
touch "$D/release.late"
wait_row 1001 '读我' absent || fail "the ended open is still listed"
wd command "关闭提示" 1
wd wait Filvane 15000 || fail "no outcome message for the ended open"
[ "$(wd text Filvane)" = $'关闭文件失败!\n找不到这个打开文件,它可能已经关闭(2314)' ] || fail "ended open outcome: $(wd text Filvane)"
wd command Filvane 1

# The day's log: entries whose records match what the lists showed.
sleep 2
day=$(ls "$work"/*.dat 2>/dev/null | head -1)
[ -n "$day" ] || fail "no day file written"
log=$(iconv -f GBK -t UTF-8 "$day")
head -1 <<<"$log" | grep -qP '^数目:\d+ *\r$' || fail "counter line: $(head -1 <<<"$log")"
count=$(head -1 <<<"$log" | grep -oP '\d+')
[ "$count" -eq "$(($(wc -l <<<"$log") - 1))" ] || fail "counter $count does not match the entries"
grep -qP "用户:daemon计算机:127\.0\.0\.1打开文件数目:1连接时间:\d+秒空闲时间:\d+秒 .*〓第1条文件记录:文件:\Q$(win "$S/公共/读我.txt")\E访问者:daemon打开模式:读取 " <<<"$log" \
  || fail "no entry with the open file: $log"
grep -q '用户:nobody' <<<"$log" && fail "the anonymous connection was logged"
# The log query lists the day's entries.
wd command "$MAIN_TITLE" 32772
wd wait "日志查询" 10000 || fail "no log query dialog"
wd settime "日志查询" 1031 0 0 0
wd settime "日志查询" 1032 23 59 59
wd command "日志查询" 1004
for _ in $(seq 40); do wd item "日志查询" 1047 | grep -q '用户:daemon' && break; sleep 0.25; done
wd item "日志查询" 1047 | grep -qP '第\d+条会话记录:用户:daemon计算机:127\.0\.0\.1' || fail "the query listed: $(wd item "日志查询" 1047)"
wd item "日志查询" 1048 | grep -q '读我.txt访问者:daemon' || fail "the open-file box listed: $(wd item "日志查询" 1048)"
wd close "日志查询"
wd gone "日志查询" 10000 || fail "the query dialog did not close"

# The server stops: the failures are logged once, not every pass, and the
# status line says why; nothing hangs. Started again, the line empties and
# the log says the failure cleared.
"$here/samba_server.sh" stop "$D" >/dev/null 2>&1
stopped='NERR_ServerNotStarted(文件共享服务没有运行)'
sleep 4
errors=$(iconv -f GBK -t UTF-8 "$work/vlerror.log" 2>/dev/null)
grep -qP "^【\\d+年\\d+月\\d+日 \\d+:\\d+:\\d+】监控会话1出错!错误信息:\\Q$stopped\\E\r$" <<<"$errors" \
  || fail "no session failure in the error log: $errors"
[ "$(grep -c "监控打开文件2出错!错误信息:$stopped" <<<"$errors")" -eq 1 ] \
  || fail "an open-file failure that lasts is not logged once: $errors"
wd post "$MAIN_TITLE" 275 1
sleep 1
grep -q '监控共享文件夹1出错!错误代码:2114(文件共享服务没有运行)' <(iconv -f GBK -t UTF-8 "$work/vlerror.log") \
  || fail "no share failure in the error log"
status=$(wd item "$MAIN_TITLE" 1043)
grep -qP '^\d\d:\d\d:\d\d 读取(会话|打开文件|共享)列表失败:文件共享服务没有运行\(2114\)$' <<<"$status" \
  || fail "the status line does not name the stopped server: $status"
smbd -D -s "$D/smb.conf" </dev/null || fail "smbd did not start again"
wd post "$MAIN_TITLE" 275 1
for _ in $(seq 40); do [ -z "$(wd item "$MAIN_TITLE" 1043)" ] && break; sleep 0.25; done
[ -z "$(wd item "$MAIN_TITLE" 1043)" ] || fail "the status line stayed after the restart: $(wd item "$MAIN_TITLE" 1043)"
grep -q "已恢复正常:监控打开文件2出错!错误信息:$stopped" <(iconv -f GBK -t UTF-8 "$work/vlerror.log") \
  || fail "the error log does not say the open-file failure cleared"
quit_filvane

# Root with no account file: the three lists come from the status tool and
# the configuration, the day's log is written as before, and a close says
# what is missing and how to set it up.
mkdir -p "$D/work-noaccount"
cd "$D/work-noaccount"
export FILVANE_SAMBA_CREDENTIALS=$D/no-account.conf
start_filvane
hold plain daemon Filv-pw1 r 'smb://127.0.0.1/公共/读我.txt'
wait_row 1001 "^\Q$(win "$S/公共/读我.txt")\E\tdaemon\t读取\t-?\d+$" || fail "no open listed without the account"
wait_row 1000 '^daemon\t127\.0\.0\.1\t1\t' || fail "no session listed without the account"
wait_row 1005 "^公共\t\Q$(win "$S/公共")\E\t" || fail "no share listed without the account"
wd item "$MAIN_TITLE" 1043 | grep -q . && fail "a failure is shown without the account: $(wd item "$MAIN_TITLE" 1043)"
wd select "$MAIN_TITLE" 1001 0
wd command "$MAIN_TITLE" 32776
wd wait "关闭提示" 10000 || fail "no confirmation without the account"
wd command "关闭提示" 1
wd wait Filvane 15000 || fail "no outcome of the close without the account"
[ "$(wd text Filvane)" = $'关闭文件失败!\n没有可用的Samba管理员账户,以root运行filvane-samba-account setup可建立(1244)' ] \
  || fail "close without the account: $(wd text Filvane)"
wd command Filvane 1
touch "$D/release.plain"
wait_row 1001 '读我' absent || fail "the released open is still listed without the account"
sleep 2
day=$(ls "$D/work-noaccount"/*.dat 2>/dev/null | head -1)
[ -n "$day" ] || fail "no day file written without the account"
python3 "$here/day_file_check.py" "$day" || fail "the day file without the account is not well-formed"
grep -qP "用户:daemon计算机:127\.0\.0\.1.*文件:\Q$(win "$S/公共/读我.txt")\E访问者:daemon打开模式:读取 " <(iconv -f GBK -t UTF-8 "$day") \
  || fail "the open is not in the day file without the account: $(iconv -f GBK -t UTF-8 "$day")"
quit_filvane
echo "PASS: Filvane on the real Samba server"
