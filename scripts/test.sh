#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds every build with warnings as
# errors and runs every test: the portable core (host) plainly and under
# AddressSanitizer and UBSan (host-asan), the analysers, the programs on
# Winelib against real components (linux) and the Windows programs under
# Wine (windows).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
presets="host host-asan linux windows"
for preset in $presets; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
done
status=0
echo "=== static checks"
tools/static_checks.sh || status=1
for preset in $presets; do
  echo "=== tests of the $preset build ==="
  ctest --preset "$preset" || status=1
done
# The packages, built from the linux and windows builds, installed and used
# as a user would, then removed.
for check in tests/e2e/package_*_e2e.sh; do
  [ -e "$check" ] || continue
  echo "=== $check"
  bash "$check" || status=1
done
exit $status
