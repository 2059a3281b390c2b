#!/usr/bin/env bash
# soak.sh N [--seed S] [--paced | --unpaced | --paced-percent P]
#
# N whole flashes through the real window (offscreen) against ptz2-sim, each with the
# simulator's chaos options drawn at random from the run's seed: noise replies,
# acknowledgements split over reads, jitter, a start acknowledged late, near the
# wizard's 31-second limit or past it, a camera that vanishes at a random line, the
# other answers to the version request; paced like a 9600-baud line or unpaced
# (by default one run in four is paced; a paced flash takes over a minute).
#
# Each run must end with the outcome its options lead to (flashed, power cycle, or a
# run-time error when the camera vanishes), the simulated camera must find the protocol
# clean, and where the download completed the image must match. Prints a line per run,
# a table of outcomes, and every failure with its seed; "soak.sh 1 --seed S" with the
# same pacing option replays one. Run logs of failures stay in the build directory
# under soak/. Exit status 1 when any run failed.
#
# The window gets the test firmware container (resources/firmware/ptz2-test-image.container)
# through the test program tests/e2e_soak_flash, built with the tests; the simulated
# camera expects the same container.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."
source_dir=$PWD
build_dir=${REVERTEX_BUILD_DIR:-$source_dir/build}

usage() {
  echo "usage: scripts/$(sed -n '2s/^# //p' "$script")" >&2
  exit 2
}

# All of the script is read before the runs begin, so that it may change under a long soak.
main() {
  [ $# -ge 1 ] || usage
  runs=$1
  shift
  [[ $runs =~ ^[0-9]+$ ]] || usage
  first_seed=$(( $(date +%s) % 100000 * 1000 ))
  paced_percent=25
  mode_option=
  while [ $# -gt 0 ]; do
    case $1 in
      --seed) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; first_seed=$2; shift 2 ;;
      --paced) paced_percent=100; mode_option=--paced; shift ;;
      --unpaced) paced_percent=0; mode_option=--unpaced; shift ;;
      --paced-percent) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; paced_percent=$2; mode_option="--paced-percent $2"; shift 2 ;;
      *) usage ;;
    esac
  done

  driver=$build_dir/tests/e2e_soak_flash
  for program in "$driver" "$build_dir/ptz2-sim"; do
    if [ ! -x "$program" ]; then
      echo "soak.sh: $program is missing: build first (scripts/build.sh)" >&2
      exit 2
    fi
  done

  soak
}

# Sets sim_args, paced and expect for one seed. The draws come from bash's generator
# seeded with the run's seed, so a seed always gives the same options.
draw_options() {
  RANDOM=$1
  local r
  sim_args=()
  expect=flashed
  paced=no

  (( r = RANDOM % 100 )) || true
  if (( r < paced_percent )); then
    paced=yes
    sim_args+=(--baud 9600)
  fi
  (( RANDOM % 2 == 0 )) && sim_args+=(--noise)
  (( RANDOM % 10 < 3 )) && sim_args+=(--split)
  (( RANDOM % 10 < 3 )) && sim_args+=(--alternate-acks)
  (( RANDOM % 10 < 2 )) && sim_args+=(--lira)
  if (( RANDOM % 2 == 0 )); then
    (( r = 1 + RANDOM % 20 )) || true
    sim_args+=(--jitter-ms "$r" --seed "$1")
  fi
  if (( RANDOM % 10 < 2 )); then
    (( r = 1 + RANDOM % 5 )) || true
    sim_args+=(--ack-delay-ms "$r")
  fi

  # The version request: a report that needs flashing (the default), one that needs
  # none, no report, or the acknowledgement first; the user flashes in every case.
  (( r = RANDOM % 10 )) || true
  case $r in
    0) sim_args+=(--version 3.46) ;;
    1) sim_args+=(--no-report) ;;
    2) sim_args+=(--ack-first) ;;
  esac

  # The start: on time, late but within the limit, or past it.
  (( r = RANDOM % 100 )) || true
  if (( r < 12 )); then
    (( r = RANDOM % 1000 )) || true   # 29.5 to 30.5 s: well inside the limit with the jitter on top
    sim_args+=(--start-delay "$(printf '%d.%03d' $(( 29 + (500 + r) / 1000 )) $(( (500 + r) % 1000 )))")
  elif (( r < 16 )); then
    (( r = RANDOM % 1000 )) || true   # 33 to 34 s: the wizard has given up a second before
    sim_args+=(--start-delay "33.$(printf '%03d' "$r")")
    expect="power cycle"
  fi

  if (( RANDOM % 100 < 12 )); then
    (( r = 1 + RANDOM % 898 )) || true
    sim_args+=(--vanish-after-lines "$r")
    [ "$expect" = flashed ] && expect="run-time error"
  fi
  return 0
}

# The runs, one after the other, and their table.
soak() {
  logs=$(mktemp -d)
  trap 'rm -rf "$logs"' EXIT
  kept=$build_dir/soak
  declare -A total passed
  failures=()
  started=$(date +%s)

  printf '%-4s %-10s %-6s %-15s %-15s %-6s %5s  %s\n' run seed paced expected outcome result s options
  for (( i = 0; i < runs; i++ )); do
    seed=$(( first_seed + i ))
    draw_options "$seed"
    log=$logs/$seed.log
    run_started=$(date +%s)
    status=0
    REVERTEX_BUILD_DIR=$build_dir REVERTEX_SOURCE_DIR=$source_dir QT_QPA_PLATFORM=offscreen \
      REVERTEX_SOAK_SIM="${sim_args[*]}" REVERTEX_SOAK_EXPECT="$expect" \
      "$driver" >"$log" 2>&1 </dev/null || status=$?
    seconds=$(( $(date +%s) - run_started ))
    outcome=$(sed -n 's/^outcome: //p' "$log" | head -n 1)
    [ -n "$outcome" ] || outcome="(none)"
    result=pass
    if [ $status -ne 0 ] || [ "$outcome" != "$expect" ]; then
      result=FAIL
      mkdir -p "$kept"
      cp "$log" "$kept/$seed.log"
      failures+=("$seed: expected $expect, got $outcome (exit $status); options: ${sim_args[*]}; log: $kept/$seed.log")
    fi
    key="$expect|$paced"
    total[$key]=$(( ${total[$key]:-0} + 1 ))
    [ $result = pass ] && passed[$key]=$(( ${passed[$key]:-0} + 1 ))
    printf '%-4s %-10s %-6s %-15s %-15s %-6s %5s  %s\n' $(( i + 1 )) "$seed" "$paced" "$expect" "$outcome" "$result" \
      "$seconds" "${sim_args[*]}"
  done

  echo
  echo "Outcomes of $runs runs ($(( $(date +%s) - started )) s):"
  printf '%-15s %-6s %5s %7s %7s\n' outcome paced runs passed failed
  for key in $(printf '%s\n' "${!total[@]}" | tr ' ' '_' | sort); do
    key=${key//_/ }
    printf '%-15s %-6s %5s %7s %7s\n' "${key%|*}" "${key#*|}" "${total[$key]}" "${passed[$key]:-0}" \
      $(( ${total[$key]} - ${passed[$key]:-0} ))
  done

  if [ ${#failures[@]} -gt 0 ]; then
    echo
    echo "Failures (replay one with: scripts/soak.sh 1 --seed SEED${mode_option:+ $mode_option}):"
    printf '  %s\n' "${failures[@]}"
    exit 1
  fi
  echo "All runs passed."
}

main "$@"
exit
