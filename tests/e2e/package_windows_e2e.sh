#!/usr/bin/env bash
# The Windows release as an administrator gets it: builds the zip and the
# installer from the windows build, checks what the zip holds and what every
# program carries (manifest with its execution level, version resource, icons
# up to 256 px, only system DLLs imported) and that the help file holds every
# page; then installs, uses and uninstalls under Wine.
#
#   bash tests/e2e/package_windows_e2e.sh [BUILD_DIR]    (default build/windows)
set -u
cd "$(dirname "$0")/../.."
build=${1:-build/windows}
here=tests/e2e
fail() { echo "FAIL: $*"; exit 1; }

cmake --build "$build" --target package || fail "the package target did not build"
version=$(sed -n 's/^#define FILVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/filvane_version.h")
[ -n "$version" ] || fail "no version in $build/generated/filvane_version.h"
zip=$build/packages/Filvane-$version-win64.zip
setup=$build/packages/Filvane-$version-setup.exe
[ -f "$zip" ] || fail "no $zip"
[ -f "$setup" ] || fail "no $setup"

work=$(mktemp -d /tmp/filvane-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The zip: one folder with the programs side by side, the help and the read-me.
expected="Filvane.exe LICENSE.txt README.txt brenvik.exe corvap.exe filvane.chm"
listed=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^Filvane-$version-win64/||" | sort | tr '\n' ' ')
[ "$listed" = "$expected " ] || fail "zip holds: $listed"
unzip -q "$zip" -d "$work"
release=$work/Filvane-$version-win64
grep -q "Filvane $version" "$release/README.txt" || fail "the read-me does not name version $version"

bash "$here/windows_program_checks.sh" "$release" "$version" || exit 1

# Every page of the help sources is in the help file.
pages=$(chmls list -n "$release/filvane.chm" 2>/dev/null | sed -n 's|^/\(.*\.html\)$|\1|p' | sort)
sources=$(cd help && ls ./*.html | sed 's|^\./||' | sort)
[ -n "$sources" ] && [ "$pages" = "$sources" ] || fail "help file pages: $(echo $pages) (sources: $(echo $sources))"
echo "PASS: the zip, the programs' resources and imports, the help file's $(echo "$pages" | wc -l) pages"

tests/with_wine.sh bash "$here/windows_installer_wine.sh" "$setup" "$build/tests/support/wdrive.exe" "$version"
