#!/usr/bin/env bash
# Installs every Debian package the builds, the tests and the demo need.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  googletest libgtest-dev libbenchmark-dev \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  wine64 wine64-tools wine \
  samba samba-common-bin smbclient samba-dev libsmbclient-dev \
  xvfb xauth x11-utils xdotool imagemagick \
  nsis fp-utils-3.2.2 icoutils unzip \
  file desktop-file-utils man-db \
  nbtscan iputils-ping iproute2 python3 \
  locales fonts-wqy-zenhei \
  cppcheck clang-tidy clang-format
# Wine's ANSI code page follows the locale: zh_CN.UTF-8 gives code page 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
