#!/usr/bin/env bash
# Turns a fresh Debian 12 machine into one that builds and tests the project:
# the mingw-w64 cross compiler for i686, 32-bit Wine, Xvfb and the screenshot
# tools, the Japanese locale, and a way to run 32-bit code where the kernel
# refuses it. Quick when everything is already there.
set -euo pipefail

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo

need=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 wine64
      xvfb xauth fonts-wine fonts-ipafont-gothic imagemagick x11-apps xdotool
      cmake make googletest clang python3 libclang-rt-14-dev locales)
# Only where 32-bit code has to be emulated: the compiler for the signal shim.
emulation_need=(gcc-i686-linux-gnu libc6-dev-i386-cross gcc libc6-dev)

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Without a generated ja_JP.UTF-8, Wine still reports code page 932 but maps
# every non-ASCII Unix file name wrongly, so a Japanese name on disk is never
# found by its name.
generate_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  if ! grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
}

# Some kernels are booted without 32-bit emulation: the 32-bit Wine loader
# then fails with "Exec format error". Such a machine runs 32-bit Linux
# programs through qemu's user-mode emulator, registered for i386 ELF files.
# The emulator of Debian 12 (7.2) spends about a minute of bookkeeping on
# every Wine process; the one of Debian 13 starts it in a fraction of a
# second, and its static build runs on Debian 12 as it is.
QEMU_I386=/usr/local/lib/brovane/qemu-i386

can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# The machine's own Debian mirror, as its package sources name it.
debian_mirror() {
  { grep -hoE 'https?://[^[:space:]]+/debian/?([[:space:]]|$)' /etc/apt/sources.list \
      /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    head -n1 | tr -d '[:space:]'
}

fetch_qemu_i386() {
  [ -x "$QEMU_I386" ] && return 0
  local list=/etc/apt/sources.list.d/brovane-trixie.list work mirror
  mirror=$(debian_mirror)
  [ -n "$mirror" ] || { echo "setup: no Debian mirror in the package sources" >&2; exit 1; }
  work=$(mktemp -d)
  echo "deb $mirror trixie main" | $SUDO tee "$list" >/dev/null
  $SUDO apt-get update -q >/dev/null
  (cd "$work" && $SUDO apt-get download -q 'qemu-user/trixie' >/dev/null 2>&1) || true
  $SUDO rm -f "$list"
  $SUDO apt-get update -q >/dev/null
  local deb
  deb=$(ls "$work"/qemu-user_*.deb 2>/dev/null | head -n1)
  [ -n "$deb" ] || { echo "setup: could not download qemu-user from Debian 13" >&2; exit 1; }
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" ./usr/bin/qemu-i386
  $SUDO install -D -m 755 "$work/usr/bin/qemu-i386" "$QEMU_I386"
  $SUDO rm -rf "$work"
}

# The emulator gives signal handlers no trap number, from which Wine tells an
# access violation from other faults (scripts/emulation/trap_number_shim.c).
# One build per word size, found by the dynamic loader's $LIB, so that the
# 64-bit wineserver preloads its own copy instead of complaining.
SHIM_SOURCE=$(cd "$(dirname "$0")" && pwd)/emulation/trap_number_shim.c
SHIM_ROOT=/usr/local/lib/brovane
build_signal_shim() {
  local compiler=$1 lib=$2 out="$SHIM_ROOT/$2/trap-number-shim.so"
  [ -f "$out" ] && [ "$out" -nt "$SHIM_SOURCE" ] && return 0
  $SUDO mkdir -p "$SHIM_ROOT/$lib"
  $SUDO "$compiler" -O2 -shared -fPIC -fno-stack-protector "$SHIM_SOURCE" -o "$out" -ldl
}

register_qemu_i386() {
  local misc=/proc/sys/fs/binfmt_misc
  [ -f "$misc/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$misc"
  [ -f "$misc/brovane-i386" ] && echo -1 | $SUDO tee "$misc/brovane-i386" >/dev/null
  # 32-bit little-endian ELF executables and shared objects for the 386;
  # "F" opens the emulator now, so it also serves other mount namespaces.
  printf '%s' ':brovane-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU_I386"':F' |
    $SUDO tee "$misc/register" >/dev/null
}

install_packages "${need[@]}"
generate_japanese_locale
if ! can_run_32bit || [ -x "$QEMU_I386" ]; then
  install_packages "${emulation_need[@]}"
  fetch_qemu_i386
  build_signal_shim i686-linux-gnu-gcc lib/i386-linux-gnu
  build_signal_shim gcc lib/x86_64-linux-gnu
  [ -f /proc/sys/fs/binfmt_misc/brovane-i386 ] || register_qemu_i386
  can_run_32bit || { echo "setup: 32-bit Wine still cannot start" >&2; exit 1; }
fi
