#!/usr/bin/env bash
# run-fuzzer.sh FUZZER CORPUS SECONDS: a short libFuzzer run that starts from the
# kept corpus and writes what it finds to a scratch folder, never into the repo.
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$scratch/" "$scratch" "$corpus"
