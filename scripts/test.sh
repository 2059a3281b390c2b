#!/usr/bin/env bash
# Builds everything and runs every test. Needs no display and no camera: window
# tests run offscreen, and a simulated camera sits on a pseudo-terminal.
#
# Three builds: the ordinary one in build/; the Windows build in build-windows/ (cross-built
# with mingw-w64, its tests run under Wine: see scripts/build-windows.sh); then the whole
# suite again built with clang under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/, which also runs each fuzzer briefly. REVERTEX_QUICK=1 skips the last two.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
linux_started=$(date +%s)
scripts/build.sh
(cd build && ctest --output-on-failure --timeout 900 </dev/null)
echo "Linux build and tests: $(( $(date +%s) - linux_started )) s"

if [ "${REVERTEX_QUICK:-0}" = 1 ]; then
  echo "REVERTEX_QUICK=1: skipping the Windows build and its tests under Wine, and the sanitizer build"
  exit 0
fi

windows_started=$(date +%s)
scripts/build-windows.sh
(cd build-windows && ctest --output-on-failure --timeout 900 </dev/null)
echo "Windows build and tests under Wine: $(( $(date +%s) - windows_started )) s"

sanitizer_started=$(date +%s)
cmake --preset sanitizer >/dev/null
cmake --build --preset sanitizer --parallel "$(nproc)"
# Suppressions name only system libraries (X11 keymaps, D-Bus, GLib) that the window
# tests reach on a virtual display; nothing of Revertex's own is suppressed.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:suppressions=$PWD/tests/sanitizer/asan.supp
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure --timeout 1200 </dev/null)
echo "Sanitizer build and tests: $(( $(date +%s) - sanitizer_started )) s"
