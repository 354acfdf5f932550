#!/usr/bin/env bash
# Two Filvane windows watching two servers at once, all in network namespaces
# of this script's own: servers A and B, each a private smbd in a namespace
# of its own, and a client namespace joined to both, where the SMB clients,
# Filvane and its wineserver run.
# - Filvane watches \\A; its connect command asked for B starts a second
#   Filvane watching \\B; a third start for A refuses and ends;
# - each window's session and open-file lists equal its own server's status
#   tool (user, client, path, mode), the two servers having other users and
#   files;
# - closing an open on B and disconnecting a session on A cut those clients
#   for real and leave the other server's lists as they were;
# - each server's day files go to its own folder and are well-formed.
#
#   samba_two_servers_e2e.sh Filvane.exe.so wdrive.exe.so
# Needs root (namespaces, smbd); exits 77 without it.
set -u
FILVANE=$(realpath "$1") WDRIVE=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/filvane_wine.sh"
readonly A=10.231.80.1 A_CLIENT=10.231.80.2 B=10.231.81.1 B_CLIENT=10.231.81.2

# Outside: the namespaces and the servers, then this script again inside the
# client namespace under a fresh Wine.
if [ "${FILVANE_IN_NAMESPACE:-}" != 1 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
  for tool in smbd smbstatus smbpasswd wine ip python3 iconv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
  done
  ns=filvane-two-$$
  D=$(mktemp -d /tmp/filvane-two.XXXXXX)
  chmod 755 "$D"
  cleanup() {
    for s in a b; do ip netns exec "$ns-$s" "$here/samba_server.sh" stop "$D/$s" >/dev/null 2>&1; done
    remove_namespace_pair "$ns-a" "$ns-cli"
    ip netns del "$ns-b" 2>/dev/null
    rm -rf "$D"
  }
  trap cleanup EXIT
  source "$here/namespace_pair.sh"
  make_namespace_pair "$ns-a" "$ns-cli" "$A" "$A_CLIENT" && add_server_namespace "$ns-b" "$ns-cli" "$B" "$B_CLIENT" twowin \
    || fail "cannot make the network namespaces"
  SAMBA_ADDRESS=$A ip netns exec "$ns-a" "$here/samba_server.sh" start "$D/a" || fail "server A did not start"
  SAMBA_ADDRESS=$B ip netns exec "$ns-b" "$here/samba_server.sh" start "$D/b" || fail "server B did not start"
  # B's clients are users A does not know, so a window showing the other
  # server's rows cannot pass.
  for account in "lp Filv-pw3" "mail Filv-pw4"; do
    set -- $account
    printf '%s\n%s\n' "$2" "$2" | ip netns exec "$ns-b" smbpasswd -c "$D/b/smb.conf" -s -a "$1" >>"$D/b/log/setup.log" 2>&1 \
      || fail "cannot add the Samba account $1 on B"
  done
  FILVANE_IN_NAMESPACE=1 TWO_DIR=$D TWO_NS=$ns ip netns exec "$ns-cli" "$here/../with_wine.sh" "$0" "$FILVANE" "$WDRIVE"
  exit $?
fi

D=$TWO_DIR ns=$TWO_NS
TITLE_A="$MAIN_TITLE - \\\\$A" TITLE_B="$MAIN_TITLE - \\\\$B"
source "$here/holders.sh"
finish() {
  stop_holders "$D"
  wd close "$TITLE_B" >/dev/null 2>&1
  [ -n "${FILVANE_PID:-}" ] && kill "$FILVANE_PID" 2>/dev/null
}
trap finish EXIT
win() { printf 'Z:%s' "$1" | tr / '\\'; }

hold() {  # hold NAME USER PASSWORD MODE URL, from this client namespace
  "$D/a/samba_hold" "$2" "$3" "$4" "$D/ready.$1" "$D/release.$1" "$5" >"$D/hold.$1" 2>&1 &
  holders+=($!)
  for _ in $(seq 100); do [ -f "$D/ready.$1" ] && return 0; sleep 0.1; done
  fail "client $1 could not open its file: $(cat "$D/hold.$1")"
}
# Lets client NAME go and waits for its last read: "io ok" or "io failed".
release() {  # release NAME INDEX
  touch "$D/release.$1"
  wait "${holders[$2]}"
}
read_after() { grep -o '^io [a-z]*' "$D/hold.$1"; }
for s in a b; do
  echo "$s" >"$D/$s/shares/公共/$s-读我.txt"
  echo "$s" >"$D/$s/shares/docs/$s-data.txt"
  chmod 666 "$D/$s"/shares/*/*.txt
done
hold a_reader daemon Filv-pw1 r "smb://$A/公共/a-读我.txt"
hold a_writer bin Filv-pw2 rw "smb://$A/docs/a-data.txt"
hold b_reader lp Filv-pw3 r "smb://$B/公共/b-读我.txt"
hold b_writer mail Filv-pw4 rw "smb://$B/docs/b-data.txt"

# What a window lists and what its server's status tool lists, in the same
# shape: sessions as "user TAB client", opens as "path TAB user TAB mode",
# sorted. Filvane's own connection (root) is no client's.
window_rows() {  # window_rows TITLE
  wd cells "$1" 1000 | awk -F'\t' '{ print "session\t" $1 "\t" $2 }' | sort
  wd cells "$1" 1001 | awk -F'\t' '{ print "open\t" $1 "\t" $2 "\t" $3 }' | sort
}
status_rows() {  # status_rows a|b
  ip netns exec "$ns-$1" smbstatus -s "$D/$1/smb.conf" -p 2>/dev/null \
    | awk '$1 ~ /^[0-9]+$/ && $2 != "root" { print "session\t" $2 "\t" $4 }' | sort
  ip netns exec "$ns-$1" smbstatus -s "$D/$1/smb.conf" -L --json 2>/dev/null | python3 -c '
import json, pwd, sys
modes = {(True, False): "读取", (False, True): "写入", (True, True): "写入+读取"}
for f in json.load(sys.stdin).get("open_files", {}).values():
    path = "Z:" + (f["service_path"].rstrip("/") + "/" + f["filename"]).replace("/", "\\")
    for o in f["opens"].values():
        user = pwd.getpwuid(o["uid"]).pw_name
        if user != "root":
            access = o["access_mask"]
            print("open", path, user, modes[(access["READ_DATA"], access["WRITE_DATA"])], sep="\t")
' | sort
}
# Waits until the window lists what its server's status tool lists.
lists_agree() {  # lists_agree TITLE a|b
  for _ in $(seq 40); do
    window_rows "$1" >"$D/window.$2"
    status_rows "$2" >"$D/status.$2"
    [ -s "$D/status.$2" ] && cmp -s "$D/window.$2" "$D/status.$2" && return 0
    sleep 0.25
  done
  return 1
}
wait_gone() {  # wait_gone TITLE LIST_ID PATTERN
  for _ in $(seq 60); do
    wd cells "$1" "$2" | grep -qP "$3" || return 0
    sleep 0.25
  done
  return 1
}
lists_of() { window_rows "$1" >"$D/now"; diff "$D/now" "$2"; }

# Sessions and opens recorded in the day file.
key='HKLM\Software\QuindarSoft\Filvane'
for v in StartLog SaveSession SaveFile; do
  wine reg add "$key" /v "$v" /t REG_SZ /d 1 /f >/dev/null 2>&1
done
work=$D/work
mkdir -p "$work"
cd "$work" || fail "no working folder"
# The watcher is no server: no configuration of its own. One account serves
# both servers.
export FILVANE_SAMBA_CONF=$D/none.conf FILVANE_SAMBA_CREDENTIALS=$D/a/admin.conf

wine "$FILVANE" "\\\\$A" &
FILVANE_PID=$!
wd wait "$ABOUT_TITLE" 30000 || fail "no about box at start-up"
wd close "$ABOUT_TITLE"
wd wait "$TITLE_A" 20000 || fail "no window titled for \\\\$A"

# The connect command, as the toolbar button sends it, asked for B.
wd command "$TITLE_A" 32811
wd wait "连接到另一台计算机" 10000 || fail "no connect dialog"
wd settext "连接到另一台计算机" 1100 "$B"
wd command "连接到另一台计算机" 1
wd gone "连接到另一台计算机" 10000 || fail "the connect dialog stayed: $(wd item "连接到另一台计算机" 1101)"
wd wait "$ABOUT_TITLE" 30000 || fail "no about box of the second Filvane"
wd close "$ABOUT_TITLE"
wd wait "$TITLE_B" 20000 || fail "no window titled for \\\\$B"
wd wait "$TITLE_A" 1000 || fail "the first window went"

# A third start for A: today's message, and it ends.
wine "$FILVANE" "$A" &
third=$!
wd wait Filvane 20000 || fail "no message from a third start for A"
[ "$(wd text Filvane)" = "已经运行了一个Zelqo共享文件监控器!" ] || fail "a third start for A said: $(wd text Filvane)"
wd command Filvane 1
wait "$third" || fail "a third start for A exited with $?"
wd wait "$TITLE_A" 1000 && wd wait "$TITLE_B" 1000 || fail "a window went with the third start"

lists_agree "$TITLE_A" a || fail "window A lists $(cat "$D/window.a"), server A $(cat "$D/status.a")"
lists_agree "$TITLE_B" b || fail "window B lists $(cat "$D/window.b"), server B $(cat "$D/status.b")"
[ "$(grep -c '^session' "$D/window.a")" -eq 2 ] && [ "$(grep -c '^open' "$D/window.a")" -eq 2 ] \
  || fail "window A does not list both clients: $(cat "$D/window.a")"
[ "$(grep -c '^session' "$D/window.b")" -eq 2 ] && [ "$(grep -c '^open' "$D/window.b")" -eq 2 ] \
  || fail "window B does not list both clients: $(cat "$D/window.b")"
grep -qP "^session\tdaemon\t\Q$A_CLIENT\E$" "$D/window.a" || fail "window A: $(cat "$D/window.a")"
grep -qP "^open\t\Q$(win "$D/b/shares/docs/b-data.txt")\E\tmail\t写入\+读取$" "$D/window.b" \
  || fail "window B: $(cat "$D/window.b")"
cp "$D/window.a" "$D/before.a"

# Closing mail's open on B.
row=$(wd cells "$TITLE_B" 1001 | grep -n 'b-data\.txt' | cut -d: -f1)
[ -n "$row" ] || fail "no row of b-data.txt"
wd select "$TITLE_B" 1001 $((row - 1))
wd command "$TITLE_B" 32776
wd wait "关闭提示" 10000 || fail "no question for the close on B"
question=$(wd text "关闭提示")
[ "$question" = "确定要关闭打开文件“$(win "$D/b/shares/docs/b-data.txt")”吗?" ] || fail "question: $question"
wd command "关闭提示" 1
wd wait Filvane 15000 || fail "no outcome of the close on B"
[ "$(wd text Filvane)" = "关闭文件成功!" ] || fail "close on B: $(wd text Filvane)"
wd command Filvane 1
wait_gone "$TITLE_B" 1001 'b-data\.txt' || fail "the closed open is still listed on B"
release b_writer 3
[ "$(read_after b_writer)" = "io failed" ] || fail "the closed client could still read: $(cat "$D/hold.b_writer")"
lists_agree "$TITLE_B" b || fail "after the close window B lists $(cat "$D/window.b"), server B $(cat "$D/status.b")"
lists_of "$TITLE_A" "$D/before.a" || fail "the close on B changed window A's lists"
cp "$D/window.b" "$D/before.b"

# Disconnecting daemon's session on A.
row=$(wd cells "$TITLE_A" 1000 | grep -n '^daemon	' | cut -d: -f1)
[ -n "$row" ] || fail "no row of daemon's session"
wd select "$TITLE_A" 1000 $((row - 1))
wd command "$TITLE_A" 32810
wd wait "断开会话" 10000 || fail "no question for the disconnect on A"
wd text "断开会话" | head -1 | grep -qF "确定要断开daemon($A_CLIENT)的会话吗?" || fail "question: $(wd text "断开会话")"
wd command "断开会话" 1
wd wait Filvane 15000 || fail "no outcome of the disconnect on A"
[ "$(wd text Filvane)" = "断开会话成功!" ] || fail "disconnect on A: $(wd text Filvane)"
wd command Filvane 1
wait_gone "$TITLE_A" 1000 '^daemon\t' || fail "the disconnected session is still listed on A"
wait_gone "$TITLE_A" 1001 'a-读我\.txt' || fail "the disconnected client's open is still listed on A"
release a_reader 0
[ "$(read_after a_reader)" = "io failed" ] || fail "the disconnected client could still read: $(cat "$D/hold.a_reader")"
lists_agree "$TITLE_A" a || fail "after the disconnect window A lists $(cat "$D/window.a"), server A $(cat "$D/status.a")"
grep -qP '^session\tbin\t' "$D/window.a" || fail "bin's session on A went with daemon's: $(cat "$D/window.a")"
lists_of "$TITLE_B" "$D/before.b" || fail "the disconnect on A changed window B's lists"
release a_writer 1
[ "$(read_after a_writer)" = "io ok" ] || fail "bin's file on A was cut: $(cat "$D/hold.a_writer")"
release b_reader 2
[ "$(read_after b_reader)" = "io ok" ] || fail "lp's file on B was cut: $(cat "$D/hold.b_reader")"

# Each server's day file in its own folder, with its own clients only.
sleep 2
day=$(date +%Y%-m%-d).dat
ls ./*.dat >/dev/null 2>&1 && fail "day files in the local folder: $(ls ./*.dat)"
for s in A B; do
  folder=$([ $s = A ] && echo "$A" || echo "$B")
  python3 "$here/day_file_check.py" "$folder/$day" || fail "server $s's day file is not well-formed"
done
grep -qP "用户:daemon计算机:\Q$A_CLIENT\E" <(iconv -f GBK -t UTF-8 "$A/$day") || fail "A's day file has no entry of daemon"
grep -qP "用户:lp计算机:\Q$B_CLIENT\E" <(iconv -f GBK -t UTF-8 "$B/$day") || fail "B's day file has no entry of lp"
grep -qP '用户:(lp|mail)' <(iconv -f GBK -t UTF-8 "$A/$day") && fail "A's day file holds B's clients"
grep -qP '用户:(daemon|bin)' <(iconv -f GBK -t UTF-8 "$B/$day") && fail "B's day file holds A's clients"

wd close "$TITLE_B"
wd gone "$TITLE_B" 15000 || fail "window B did not close"
wd close "$TITLE_A"
wait "$FILVANE_PID" || fail "Filvane for A exited with $?"
FILVANE_PID=
echo "PASS: two windows watching two servers"
