#!/usr/bin/env bash
# Builds the release preset and prints the check's speed next to a bare Luhn loop, and the
# throughput of zandor-check on 1,000,000 mixed lines.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null

json=$(mktemp)
lines=$(mktemp)
trap 'rm -f "$json" "$lines"' EXIT
build/release/bench/check_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only \
    --benchmark_format=console --benchmark_out="$json" --benchmark_out_format=json
python3 bench/summarise.py check "$json"

python3 bench/summarise.py make-lines 1000000 > "$lines"
python3 bench/summarise.py throughput build/release/tools/zandor-check "$lines"
