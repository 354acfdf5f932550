#!/usr/bin/env bash
# After the first Apply on a fresh registry, `wine reg query` lists the five
# values as REG_SZ with what Apply stored. Run inside with_wine.sh.
set -eu
exe=$1
wine "$exe" --gtest_filter='SettingsWindow.WithoutAKeyShowsDefaultsAndFirstApplyStoresEveryValue'
listing=$(wine reg query 'HKLM\Software\QuindarSoft\Filvane' | tr -d '\r')
echo "$listing"
status=0
for expected in 'StartLog REG_SZ 0' 'SaveSession REG_SZ 0' 'SaveFile REG_SZ 0' 'ShareTime REG_SZ 1' 'Dirs REG_SZ'; do
  if ! echo "$listing" | sed 's/[[:space:]]\+/ /g; s/^ //; s/ $//' | grep -qx "$expected"; then
    echo "missing: $expected"
    status=1
  fi
done
exit $status
