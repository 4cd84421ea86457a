#!/usr/bin/env bash
# Installs what building and testing tarnwick needs on Debian or Ubuntu:
# the host tool chain, the MinGW-w64 cross compilers (32-bit for tarnwick, also
# 64-bit for a test program) and, where this machine runs Wine itself, Wine
# for 32- and 64-bit programs, Xvfb and the Japanese locale and font. Safe to
# run again; does nothing when all is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev valgrind
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
  imagemagick python3 icoutils libxml2-utils strip-nondeterminism diffoscope-minimal pandoc
)
# What only a Wine run on this machine uses.
wine_packages=(
  wine wine64 wine32:i386 xvfb xdotool x11-utils locales fonts-ipafont-gothic
)

# shellcheck source=scripts/lib/machine.sh
source "$(dirname "$0")/lib/machine.sh"

if ! runs_32bit_programs; then
  # Wine runs in the emulated machine (scripts/vm), which brings its own: this
  # machine needs no i386 packages, and so no i386 index from the archive.
  install_missing_packages setup "${packages[@]}"
  echo "setup: ready (Wine runs in the emulated machine, set up on first use)"
  exit 0
fi

# wine32 comes from the i386 architecture, which apt must know first.
dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
install_missing_packages setup "${packages[@]}" "${wine_packages[@]}"

# Wine reads the ANSI code page from the locale; ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "setup: generating ja_JP.UTF-8"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
echo "setup: ready"
