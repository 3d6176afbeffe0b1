#!/usr/bin/env bash
# Turns a fresh Debian 12 machine into one that builds and tests the project:
# the mingw-w64 cross compiler for i686, 32-bit Wine, Xvfb and the screenshot
# tools. Quick when everything is already there.
set -euo pipefail

need=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 wine64
      xvfb xauth fonts-wine fonts-ipafont-gothic imagemagick x11-apps xdotool
      cmake make googletest clang python3 libclang-rt-14-dev)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
