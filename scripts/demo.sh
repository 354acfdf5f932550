#!/usr/bin/env bash
# Filvane's main job on a fresh Debian 12 machine: a private Samba server on
# 127.0.0.1, a demo client that connects as two users and opens, holds and
# closes files over time, and Filvane (Winelib build) watching it. Everything
# the demo started stops when Filvane closes. Needs root (smbd on port 445).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cmake --preset linux
cmake --build --preset linux -j"$(nproc)" --target Filvane wdrive

demo=$(mktemp -d /tmp/filvane-demo.XXXXXX)
server=$demo/server
mkdir -p "$server" "$demo/work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  touch "$server"/release.* 2>/dev/null || true
  "$root/tests/e2e/samba_server.sh" stop "$server" 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  echo "demo stopped; the logs Filvane wrote are in $demo/work"
}
trap cleanup EXIT

"$root/tests/e2e/samba_server.sh" start "$server"
shares=$server/shares
echo "年度报告" >"$shares/公共/年度报告.txt"
echo "notes" >"$shares/docs/notes.txt"
echo "plan" >"$shares/docs/计划.txt"
chmod 666 "$shares"/*/*.txt

# The demo client: two users whose open files come and go.
hold() {  # hold TAG USER PASSWORD MODE URL...
  rm -f "$server/ready.$1" "$server/release.$1"
  "$server/samba_hold" "$2" "$3" "$4" "$server/ready.$1" "$server/release.$1" "${@:5}" >/dev/null 2>&1 &
}
release() { touch "$server/release.$1"; }
(
  while true; do
    hold a daemon Filv-pw1 r 'smb://127.0.0.1/公共/年度报告.txt'
    sleep 5
    hold b bin Filv-pw2 rw 'smb://127.0.0.1/docs/计划.txt' 'smb://127.0.0.1/docs/notes.txt'
    sleep 8
    release a
    sleep 5
    release b
    sleep 4
  done
) &
pids+=($!)

export WINEPREFIX=$demo/wine WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
export FILVANE_SAMBA_CONF=$server/smb.conf FILVANE_SAMBA_CREDENTIALS=$server/admin.conf
export FILVANE_SERVER=${FILVANE_SERVER:-http://127.0.0.1:9}
cd "$demo/work"  # the daily logs and the error log are written here
filvane="$root/build/linux/shell/Filvane.exe.so"
wdrive="$root/build/linux/tests/support/wdrive.exe.so"
version=$(sed -n 's/^#define FILVANE_VERSION_TEXT "\(.*\)"/\1/p' "$root/build/linux/generated/filvane_version.h")
about="关于Zelqo共享文件监控器 v${version%.*} 免费版"
if [ -n "${DISPLAY:-}" ]; then
  wineboot -i >/dev/null 2>&1
  wine "$filvane"
else
  echo "no display: Filvane runs under Xvfb; a screenshot goes to $demo/filvane.png after 20 s; Ctrl-C ends the demo"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineboot -i >/dev/null 2>&1
    wine "$1" & app=$!
    wine "$2" wait "$3" 60000 && wine "$2" close "$3"
    sleep 20; import -window root "$4" 2>/dev/null && echo "screenshot: $4"
    wait $app' demo "$filvane" "$wdrive" "$about" "$demo/filvane.png"
fi
