#!/usr/bin/env bash
# The installer in a fresh Wine prefix (run by tests/with_wine.sh): a silent
# install, its files, Start-menu links and uninstall entry; Filvane started
# from its link, and from it brenvik, Corvap and the help viewer; a silent
# uninstall that leaves nothing it installed. Installed and removed twice:
# untouched, then after Filvane has run and may have written its logs into
# the folder, which the uninstaller keeps.
#
#   windows_installer_wine.sh SETUP_EXE WDRIVE_EXE VERSION
set -u
SETUP=$1 WDRIVE=$2 FILVANE_VERSION=$3
source "$(dirname "$0")/filvane_wine.sh"
# Links must not reach the desktop menus of the machine running the test.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

install_dir="$WINEPREFIX/drive_c/Program Files/Filvane"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Filvane"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Filvane'
installed_files="Filvane.exe LICENSE.txt README.txt Uninstall.exe brenvik.exe corvap.exe filvane.chm"
links="Corvap Ping.lnk|Filvane 使用说明.lnk|Filvane.lnk|brenvik 主机检测.lnk|卸载 Filvane.lnk"
# What Filvane may write into its current directory, the install folder.
program_logs='^([0-9]+\.dat|vlerror\.log)$'

listing() { (cd "$1" && ls -1 | LC_ALL=C sort | paste -sd "$2"); }

install() {
    wine "$SETUP" /S || fail "the silent install failed"
    [ "$(listing "$install_dir" ' ')" = "$installed_files" ] ||
        fail "installed: $(listing "$install_dir" ' ')"
    [ "$(listing "$menu" '|')" = "$links" ] || fail "Start menu: $(listing "$menu" '|')"
    wine reg query "$uninstall_key" /v DisplayVersion | tr -d '\r' | grep -q "$FILVANE_VERSION" ||
        fail "no uninstall entry for $FILVANE_VERSION"
}

# Runs the uninstaller silently; it finishes from a copy of itself, so the
# end is when its own file is gone.
uninstall() {
    wine "C:\\Program Files\\Filvane\\Uninstall.exe" /S || fail "the silent uninstall failed"
    for _ in $(seq 120); do
        [ -e "$install_dir/Uninstall.exe" ] || break
        sleep 0.5
    done
    wineserver -w
    [ ! -e "$menu" ] || fail "Start-menu folder left: $(listing "$menu" '|')"
    ! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "uninstall entry left"
}

# Whether a process of this prefix runs the installed program FILE: Wine
# maps the program file into its process.
runs_installed() { grep -qlF "$install_dir/$1" /proc/[0-9]*/maps 2>/dev/null; }

# The Windows command lines of this prefix's help viewers.
help_viewers() {
    local proc
    for proc in /proc/[0-9]*; do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "$proc/environ" 2>/dev/null && tr '\0' ' ' <"$proc/cmdline" | grep -iF hh.exe
    done
}

install
uninstall
[ ! -e "$install_dir" ] || fail "install folder left: $(listing "$install_dir" ' ')"
echo "PASS: a silent install puts the files, links and uninstall entry in place; a silent uninstall removes them"

install
# Started from its Start-menu link, Filvane runs in the install folder.
wine start /unix "$menu/Filvane.lnk"
wd wait "$ABOUT_TITLE" 30000 || fail "no about box at start-up"
wd close "$ABOUT_TITLE"
wd wait "$MAIN_TITLE" 20000 || fail "no main window"

wd command "$MAIN_TITLE" 32775
# Another brenvik on this machine may hold its reply port: its message box
# comes first then, and the window follows.
for _ in $(seq 40); do
    wd wait "主机检测" 500 && break
    wd wait brenvik 1 && wd command brenvik 1
done
wd wait "主机检测" 1 || fail "brenvik did not start"
runs_installed brenvik.exe || fail "the brenvik that runs is not the installed one"
wd close "主机检测"
wd gone "主机检测" 10000 || fail "brenvik did not close"

wd command "$MAIN_TITLE" 32777
wd wait "Ping" 20000 || fail "Corvap did not start"
runs_installed corvap.exe || fail "the Corvap that runs is not the installed one"
wd close "Ping"
wd gone "Ping" 10000 || fail "Corvap did not close"

# 使用说明: Wine's help viewer, hh.exe, opens filvane.chm; its window bears
# the title written in the help file.
wd command "$MAIN_TITLE" 32787
wd wait "Filvane 使用说明" 30000 || fail "no help viewer window ($(wd text Filvane 2>/dev/null))"
help_viewers | grep -qiF 'hh.exe C:\Program Files\Filvane\filvane.chm' ||
    fail "the help viewer is not showing the installed filvane.chm: $(help_viewers)"
wd close "Filvane 使用说明"
wd gone "Filvane 使用说明" 10000 || fail "the help viewer did not close"

wd close "$MAIN_TITLE" || fail "main window gone before quitting"
wd gone "$MAIN_TITLE" 20000 || fail "Filvane did not quit"
wineserver -w
logs=$(cd "$install_dir" && ls -1 | grep -E "$program_logs" | LC_ALL=C sort | paste -sd ' ')
echo "PASS: Filvane from its link starts the installed brenvik, Corvap and help file (logs written: ${logs:-none})"

uninstall
left=$([ -e "$install_dir" ] && listing "$install_dir" ' ')
[ "$left" = "$logs" ] || fail "after uninstalling, the folder holds: $left (logs were: $logs)"
echo "PASS: the uninstaller removes everything it installed${logs:+ and keeps the logs Filvane wrote}"
