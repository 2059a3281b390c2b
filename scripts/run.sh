#!/usr/bin/env bash
# Builds Revertex and opens the wizard. By default a simulated PTZ 2 camera
# (ptz2-sim, paced at 9600 baud like a real line) sits on COM 1, and the wizard is given
# our test image, which is fit for that simulated camera only.
#
#   scripts/run.sh                      simulated camera on COM 1, the test image
#   scripts/run.sh -- --version 3.46    options after -- go to ptz2-sim
#   scripts/run.sh --camera             no simulator and no firmware: a real camera, ports
#                                       as in the README; the wizard asks for the firmware
set -euo pipefail
cd "$(dirname "$0")/.."

use_sim=1
sim_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --camera) use_sim=0 ;;
    --) shift; sim_args=("$@"); break ;;
    *) echo "usage: scripts/run.sh [--camera] [-- ptz2-sim options]" >&2; exit 2 ;;
  esac
  shift
done

# The wizard is a window: without a display there is nothing to install or build for.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'EOF'
No display: scripts/run.sh opens the wizard's window, so start it from a desktop
session (or with DISPLAY set). Without one:
  scripts/test.sh               builds and runs every test; they need no display
  xvfb-run -a scripts/run.sh    runs it on a virtual display you do not see (Debian:
                                xvfb); Ctrl-C ends it
EOF
  exit 1
fi

scripts/build.sh

if [ "$use_sim" -eq 0 ]; then
  exec build/revertex
fi
test_image=resources/firmware/ptz2-test-image.container

workdir=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; rm -rf "$workdir"' EXIT
build/ptz2-sim --baud 9600 --expect "$test_image" --path-file "$workdir/port" "${sim_args[@]}" \
  >"$workdir/sim.log" 2>&1 &
sim_pid=$!
# The simulator names its device in the file once it is ready (written whole, by a rename).
readonly sim_start_limit_s=30
for _ in $(seq $((sim_start_limit_s * 20))); do
  [ -s "$workdir/port" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$workdir/port" ]; then
  echo "The simulated camera did not start (given ${sim_start_limit_s} s):" >&2
  cat "$workdir/sim.log" >&2
  exit 1
fi
export REVERTEX_COM1
REVERTEX_COM1=$(cat "$workdir/port")
echo "Simulated PTZ 2 camera on COM 1 ($REVERTEX_COM1)."
status=0
build/revertex --firmware "$test_image" || status=$?
kill -TERM "$sim_pid" 2>/dev/null || true
sim_status=0
wait "$sim_pid" 2>/dev/null || sim_status=$?
echo "--- what the simulated camera saw ---"
cat "$workdir/sim.log"
# One line to end on: did the camera see what the options lead to (its exit status
# says, its result line says what).
result=$(sed -n 's/^result: //p' "$workdir/sim.log" | tail -n 1)
if [ "$sim_status" -eq 0 ]; then
  echo "The simulated camera saw what this scenario expects: ${result#as expected: }."
else
  result=${result#NOT as expected: }
  echo "The simulated camera did NOT see what this scenario expects: ${result:-exit status $sim_status}."
fi
exit $status
