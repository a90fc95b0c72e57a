#!/usr/bin/env bash
# Builds the release preset and prints the check's speed next to a bare Luhn loop, then
# zandor-check against a bare C Luhn filter (whole process, paired runs) on 1,000,000 plain
# lines, 1,000,000 mixed lines as users type them, and 1,000,000 lines of every shape the
# tests try, equally; then its start-up on an empty input, and its peak memory on a 1 GiB line.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/release/bench/check_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only \
    --benchmark_format=console --benchmark_out="$work/check.json" --benchmark_out_format=json
python3 bench/summarise.py check "$work/check.json"

tool=build/release/tools/zandor-check
floor=build/release/bench/luhn_floor
for kind in plain mixed shapes; do
    python3 bench/summarise.py make-lines 1000000 "$kind" > "$work/$kind.txt"
    python3 bench/summarise.py throughput "$tool" "$floor" "$work/$kind.txt" "$kind"
done
python3 bench/summarise.py startup "$tool" "$floor"
head -c $((1 << 30)) /dev/zero | tr '\0' '0' > "$work/long.txt"
echo 4111111111111111 >> "$work/long.txt"
/usr/bin/time -f "zandor-check, one line of 1 GiB: %e s, peak memory %M KiB" "$tool" < "$work/long.txt"
