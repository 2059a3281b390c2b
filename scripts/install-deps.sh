#!/usr/bin/env bash
# Installs the Debian 12 packages Revertex needs.
#
#   scripts/install-deps.sh           everything: building, running, the tests and CI
#   scripts/install-deps.sh --build   only what building and running the wizard need
#
# Idempotent: packages already present are left alone and apt is not touched.
set -euo pipefail

# Building (the tests are configured with the build, so GoogleTest is here), the
# manual page, and running the wizard (its dialog font).
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev
  libgtest-dev
  fonts-wine
  scdoc
)

# The tests and their tools: the sanitizer and fuzzer build, the Windows resource
# check, the package checks, and a virtual display for trying the window by hand.
test_packages=(
  xvfb xauth imagemagick
  clang libclang-rt-14-dev
  binutils-mingw-w64-x86-64 dpkg-dev desktop-file-utils
  gcc-mingw-w64-x86-64 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  lintian appstream
  openbox
  qt6-gtk-platformtheme
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest wine wine64 nsis
  xdotool x11-utils unzip
)

case "${1:-}" in
  --build) ;;
  "") packages+=("${test_packages[@]}") ;;
  *) echo "usage: scripts/install-deps.sh [--build]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
