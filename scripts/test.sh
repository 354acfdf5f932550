#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the three builds and runs every
# test: the portable core (host), the programs on Winelib against real
# components (linux) and the Windows programs under Wine (windows).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
for preset in host linux windows; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j"$jobs"
done
status=0
for preset in host linux windows; do
  echo "=== tests of the $preset build ==="
  ctest --preset "$preset" || status=1
done
exit $status
