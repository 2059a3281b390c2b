#!/usr/bin/env bash
# Runs a command while a simulated camera sits behind Wine's COM1 and COM12.
#   with-sim.sh SIM PORTS_DIR [SIM OPTIONS...] -- COMMAND...
# PORTS_DIR holds the links Wine's COM ports lead to (see cmake/wine-run.sh.in): COM1 and
# COM12 are pointed at the simulator's pseudo-terminal, COM2 is left leading nowhere.
# Passes when the command and the simulator both exit 0; prints the simulator's report.
set -euo pipefail

sim=$1 ports=$2
shift 2
sim_args=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] || { echo "usage: with-sim.sh SIM PORTS_DIR [SIM OPTIONS] -- COMMAND..." >&2; exit 2; }
shift

readonly start_limit_s=30   # the simulator names its device at once; this is for a busy machine
readonly stop_limit_s=10

mkdir -p "$ports"
rm -f "$ports/COM1" "$ports/COM2" "$ports/COM12"
report=$(mktemp)
"$sim" --link "$ports/COM1" "${sim_args[@]}" >"$report" 2>&1 &
sim_pid=$!
cleanup() { kill "$sim_pid" 2>/dev/null || true; rm -f "$report"; }
trap cleanup EXIT

for _ in $(seq $((start_limit_s * 10))); do
  [ -L "$ports/COM1" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -L "$ports/COM1" ]; then
  echo "ptz2-sim did not start:" >&2
  cat "$report" >&2
  exit 1
fi
ln -s "$(readlink "$ports/COM1")" "$ports/COM12"

status=0
"$@" || status=$?

# The simulator prints its report when told to stop (or has stopped by itself).
kill -TERM "$sim_pid" 2>/dev/null || true
sim_status=0
for _ in $(seq $((stop_limit_s * 10))); do
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$sim_pid" 2>/dev/null; then
  echo "ptz2-sim still ran ${stop_limit_s}s after it was told to stop" >&2
  kill -KILL "$sim_pid" 2>/dev/null || true
fi
wait "$sim_pid" || sim_status=$?
echo "--- ptz2-sim (exit status $sim_status):"
cat "$report"
rm -f "$ports/COM1" "$ports/COM12"

if [ "$status" -ne 0 ]; then
  echo "command failed with status $status" >&2
  exit "$status"
fi
if [ "$sim_status" -ne 0 ]; then
  echo "ptz2-sim reported a fault (status $sim_status)" >&2
  exit 1
fi
