#!/usr/bin/env bash
# The Windows programs under Wine: Filvane starts, shows its about box and
# main window, says in its status line that the system lacks the
# network-management calls, starts brenvik and Corvap by bare name from its
# current directory, reports the missing help file, and closes cleanly.
set -u
FILVANE=$1 WDRIVE=$2 BRENVIK=$3 CORVAP=$4
source "$(dirname "$0")/filvane_wine.sh"
dir=$(mktemp -d /tmp/filvane-smoke.XXXXXX)
trap 'rm -rf "$dir"' EXIT
cp "$FILVANE" "$BRENVIK" "$CORVAP" "$dir/"
cd "$dir"
FILVANE=$dir/$(basename "$FILVANE")
start_filvane

# Wine's netapi32 lists nothing: the status line says why the lists are empty.
for _ in $(seq 40); do wd item "$MAIN_TITLE" 1043 | grep -q '(50)' && break; sleep 0.25; done
wd item "$MAIN_TITLE" 1043 | grep -qP '^\d\d:\d\d:\d\d 读取.+列表失败:系统不支持网络管理调用\(50\)$' \
  || fail "the status line does not say the calls are not supported: $(wd item "$MAIN_TITLE" 1043)"

wd command "$MAIN_TITLE" 32775
wd wait "主机检测" 20000 || fail "brenvik did not start"
wd close "主机检测"
wd gone "主机检测" 10000 || fail "brenvik did not close"

wd command "$MAIN_TITLE" 32777
wd wait "Ping" 20000 || fail "Corvap did not start"
wd close "Ping"
wd gone "Ping" 10000 || fail "Corvap did not close"

wd command "$MAIN_TITLE" 32787
wd wait Filvane 10000 || fail "no message for the missing help file"
[ "$(wd text Filvane)" = "无法打开使用说明文件!请确认它在当前目录下!" ] || fail "help message: $(wd text Filvane)"
wd command Filvane 1

quit_filvane
echo "PASS: the Windows programs start and close"
