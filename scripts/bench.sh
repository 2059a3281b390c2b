#!/usr/bin/env bash
# Builds Revertex, then times a whole flash of our test firmware image with the
# real wizard (offscreen) against the simulated camera, paced like a 9600-baud line
# and unpaced, and the program's start-up. Prints a table of figures; it fails only
# when a flash itself fails, never because the machine is slow.
#
#   scripts/bench.sh                    everything (about two minutes)
#   scripts/bench.sh --unpaced-only     a quick run: the flash without pacing
#   scripts/bench.sh --paced-only --windows
#                                       the paced flash here and, beside it, that of the
#                                       Windows build under Wine (builds build-windows/)
#   scripts/bench.sh --parallel-only    only four paced cameras flashed together by
#                                       revertex-cli against one alone
#   scripts/bench.sh --help             all options
set -euo pipefail
cd "$(dirname "$0")/.."

for arg in "$@"; do
  if [ "$arg" = --help ] || [ "$arg" = -h ]; then
    if [ -x build/flash_bench ]; then
      exec env QT_QPA_PLATFORM=offscreen build/flash_bench --help
    fi
  fi
done

args=()
windows=0
parallel=1
parallel_only=0
for arg in "$@"; do
  case "$arg" in
    --parallel-only) parallel_only=1; continue ;;
    --unpaced-only) parallel=0 ;;
  esac
  if [ "$arg" = --windows ]; then
    windows=1
    args+=(--windows "$PWD/build-windows")
  else
    args+=("$arg")
  fi
done

scripts/build.sh
if [ "$windows" = 1 ]; then
  scripts/build-windows.sh >/dev/null
fi
export QT_QPA_PLATFORM=offscreen
if [ "$parallel_only" = 0 ]; then
  build/flash_bench "${args[@]}"
fi
if [ "$parallel" = 1 ]; then
  echo
  bench/parallel-flash.sh "$PWD/build"
fi
