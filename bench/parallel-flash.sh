#!/usr/bin/env bash
# Four simulated cameras, each paced like a 9600-baud line, flashed together by one
# revertex-cli against one alone: the wire, not the program, should set the time
# (target: four at most 1.03 x one). Prints the figures; fails only when a flash fails.
#   bench/parallel-flash.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/parallel-flash.sh BUILD_DIR}
image=$(cd "$(dirname "$0")/.." && pwd)/resources/firmware/ptz2-test-image.container
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Starts n simulated cameras; their devices in $devices. Each names its device on the
# first line it prints: read from its own pipe, which the read waits on.
start_cameras() {
  devices=()
  round_pids=()
  local i
  for i in $(seq "$1"); do
    mkfifo "$work/out$i.$2"
    "$build/ptz2-sim" --baud 9600 --expect "$image" --exit-after-finish --timeout 600 \
      >"$work/out$i.$2" 2>"$work/err$i.$2" &
    pids+=($!)
    round_pids+=($!)
    local device
    exec {fd}<"$work/out$i.$2"
    read -r -t 30 device <&"$fd" || { echo "ptz2-sim did not start: $(cat "$work/err$i.$2")" >&2; exit 1; }
    cat <&"$fd" >"$work/summary$i.$2" &   # the rest, for the verdict
    pids+=($!)
    round_pids+=($!)
    exec {fd}<&-
    devices+=("$device")
  done
}

# Seconds for one revertex-cli flash of the devices given.
timed_flash() {
  local start end
  start=$(date +%s.%N)
  "$build/revertex-cli" flash --yes --firmware "$image" "$@" >"$work/cli.out" 2>"$work/cli.err" \
    || { echo "revertex-cli failed:"; cat "$work/cli.out" "$work/cli.err"; exit 1; } >&2
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }'
}

# One alone and four together in turn, so that a machine busy with other work weighs on
# both alike.
rounds=${REVERTEX_BENCH_ROUNDS:-2}
ones=()
fours=()
for round in $(seq "$rounds"); do
  start_cameras 1 "one$round"
  ones+=("$(timed_flash "${devices[@]}")")
  start_cameras 4 "four$round"
  fours+=("$(timed_flash "${devices[@]}")")
  wait "${round_pids[@]}" 2>/dev/null || true   # each camera ends once its closing script has run
  matches=$(cat "$work"/summary*."four$round" | grep -c '^image: match$' || true)
  [ "$matches" -eq 4 ] || { echo "only $matches of 4 cameras got the image byte for byte" >&2; exit 1; }
done

mean() { printf '%s\n' "$@" | awk '{ s += $1 } END { print s / NR }'; }
one=$(mean "${ones[@]}")
four=$(mean "${fours[@]}")
printf 'Paced flash (9600 baud), revertex-cli, cameras on pseudo-terminals, %d rounds\n' "$rounds"
printf '  one camera alone        %7.2f s   (each: %s)\n' "$one" "${ones[*]}"
printf '  four cameras together   %7.2f s   (each: %s)\n' "$four" "${fours[*]}"
printf '  four against one        %7.3f x   (target: at most 1.030 x)\n' "$(awk -v a="$four" -v b="$one" 'BEGIN { print a / b }')"
