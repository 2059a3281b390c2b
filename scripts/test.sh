#!/usr/bin/env bash
# Builds everything and runs every test. Needs no display and no camera: window
# tests run offscreen, and a simulated camera sits on a pseudo-terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
ctest --output-on-failure --timeout 900 </dev/null
