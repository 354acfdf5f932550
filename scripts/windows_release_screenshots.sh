#!/usr/bin/env bash
# Pictures of the Windows installer's pages, the installed programs and the
# uninstaller into docs/ (run from the repository root after the package
# target of a windows build; not a test):
#   tests/with_wine.sh bash scripts/windows_release_screenshots.sh [BUILD_DIR]
# Wine draws window frames on a virtual desktop; each picture is trimmed to
# the windows on it.
set -eu
build=${1:-build/windows}
docs=$(pwd)/docs
version=$(sed -n 's/^#define FILVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/filvane_version.h")
setup=$(pwd)/$build/packages/Filvane-$version-setup.exe
WDRIVE=$build/tests/support/wdrive.exe FILVANE_VERSION=$version
source tests/e2e/filvane_wine.sh
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1200x960 /f >/dev/null
wineserver -w
install_dir="$WINEPREFIX/drive_c/Program Files/Filvane"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Filvane"

shot() {  # NAME: the desktop, trimmed to its windows
    sleep 1
    import -window root png:- |
        convert - -crop 1200x960+0+0 +repage -fuzz 4% -trim +repage "$docs/$1.png"
}
next_page() {  # Enter: the wizard's default button, Next, Install or Finish
    xdotool key Return
}

installer="Filvane $version 安装"
wine "$setup" &
wd wait "$installer" 30000 || fail "no installer window"
shot installer_1_welcome
next_page
shot installer_2_licence
next_page
shot installer_3_folder
next_page
for _ in $(seq 60); do [ -e "$install_dir/Uninstall.exe" ] && break; sleep 0.5; done
shot installer_4_finished
next_page
wait

wine start /unix "$menu/Filvane.lnk"
wd wait "$ABOUT_TITLE" 30000 || fail "no about box"
wd close "$ABOUT_TITLE"
wd wait "$MAIN_TITLE" 20000 || fail "no main window"
sleep 2
shot installed_filvane
wd command "$MAIN_TITLE" 32775
wd wait "主机检测" 20000 || fail "no brenvik"
shot installed_brenvik
wd close "主机检测"
wd command "$MAIN_TITLE" 32777
wd wait "Ping" 20000 || fail "no Corvap"
shot installed_corvap
wd close "Ping"
wd command "$MAIN_TITLE" 32787
wd wait "Filvane 使用说明" 30000 || fail "no help viewer"
shot installed_help
wd close "Filvane 使用说明"
wd close "$MAIN_TITLE"
wd gone "$MAIN_TITLE" 20000 || fail "Filvane did not quit"

wine "C:\\Program Files\\Filvane\\Uninstall.exe" &
# The confirmation page's caption ends in a space (NSIS's empty subcaption).
wd wait "Filvane $version 卸载 " 30000 || fail "no uninstaller window"
shot uninstaller_1_confirm
next_page
for _ in $(seq 60); do [ -e "$install_dir/filvane.chm" ] || break; sleep 0.5; done
if [ -e "$install_dir" ]; then  # Filvane's logs are kept, and the uninstaller says so
    shot uninstaller_2_logs_kept
    next_page
fi
shot uninstaller_3_finished
next_page
wait
wineserver -w
