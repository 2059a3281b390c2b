#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12 with mingw-w64: build-windows/revertex.exe
# and build-windows/fwimage.exe, the tests, and (with --package) the zip and the
# installer. Extra arguments go to the CMake configure step (for example
# -DREVERTEX_FIRMWARE=/path/to/firmware.bin), as with scripts/build.sh.
#
# Qt for Windows: REVERTEX_QT_WINDOWS names a tarball or an unpacked Qt (the folder with
# bin/, lib/cmake/Qt6/); by default ../shared/windows/qt-6.4.2-mingw64.tar.xz beside this
# checkout. A tarball is unpacked into build-windows/qt once. The configure preset
# windows-cross (CMakePresets.json) takes the folder from REVERTEX_QT_WINDOWS.
# GoogleTest for the tests is built from Debian's source (/usr/src/googletest).
# The firmware is checked by build/fwimage, built for this machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

package=0
configure_args=()
for arg in "$@"; do
  case "$arg" in
    --package) package=1 ;;
    *) configure_args+=("$arg") ;;
  esac
done

scripts/install-deps.sh

out=$root/build-windows
qt_source=${REVERTEX_QT_WINDOWS:-$root/../shared/windows/qt-6.4.2-mingw64.tar.xz}
mkdir -p "$out"

# Qt for Windows.
if [ -d "$qt_source" ]; then
  qt_root=$(cd "$qt_source" && pwd)
elif [ -f "$qt_source" ]; then
  stamp=$out/qt/.unpacked-from
  if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$(readlink -f "$qt_source")" ]; then
    rm -rf "$out/qt"
    mkdir -p "$out/qt"
    tar -xJf "$qt_source" -C "$out/qt"
    readlink -f "$qt_source" >"$stamp"
  fi
  qt_root=$(dirname "$(dirname "$(dirname "$(dirname "$(find "$out/qt" -path '*/lib/cmake/Qt6/qt.toolchain.cmake' | head -n 1)")")")")
else
  echo "No Qt for Windows at $qt_source: set REVERTEX_QT_WINDOWS to its tarball or folder" >&2
  exit 1
fi
toolchain=$qt_root/lib/cmake/Qt6/qt.toolchain.cmake
[ -f "$toolchain" ] || { echo "Not a Qt for Windows (no $toolchain)" >&2; exit 1; }

# GoogleTest, cross-built once from Debian's source.
gtest=$out/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$out/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$out/googletest-build" --parallel "$(nproc)" >/dev/null
  cmake --install "$out/googletest-build" >/dev/null
fi

# fwimage for this machine, which the Windows build runs to check its firmware.
if [ ! -f build/CMakeCache.txt ]; then
  cmake --preset linux >/dev/null
fi
cmake --build --preset linux --target fwimage ptz2-sim --parallel "$(nproc)" >/dev/null

REVERTEX_QT_WINDOWS=$qt_root cmake --preset windows-cross "${configure_args[@]}" >/dev/null   # warnings still reach stderr
cmake --build --preset windows-cross --parallel "$(nproc)"

if [ "$package" = 1 ]; then
  (cd "$out" && cpack >/dev/null)
  ls "$out"/revertex-*-win64*
fi
