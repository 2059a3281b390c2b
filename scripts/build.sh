#!/usr/bin/env bash
# Configures and builds into build/. Extra arguments go to the CMake configure step
# (for example -DREVERTEX_FIRMWARE=/path/to/firmware.bin). Installs only what building
# and running need; scripts/test.sh installs the test tools.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build
cmake --preset linux "$@" >/dev/null   # warnings still reach stderr
cmake --build --preset linux --parallel "$(nproc)"
