#!/usr/bin/env bash
# The smoke run of one benchmark (see CMakeLists.txt): runs it with
# ZEMBLA_BENCH_SMOKE=1, its figures to the console, and fails unless it ends
# with status 0 having run every benchmark in it exactly once.
#
#   bench/smoke_run.sh <bench executable>
set -euo pipefail
bench=$1
report=$(mktemp)
trap 'rm -f "$report"' EXIT
ZEMBLA_BENCH_SMOKE=1 "$bench" --benchmark_out="$report" --benchmark_out_format=json
# Every run in the report, by name, with its iteration count (the JSON
# writer puts each field on a line of its own) and its error, if any.
runs=$(sed -n 's/^ *"name": "\(.*\)",$/\1/p' "$report" | wc -l)
once=$(grep -c '^ *"iterations": 1,$' "$report" || true)
if grep -q '"error_occurred": true' "$report"; then
  echo "A benchmark of $(basename "$bench") ended with an error:" >&2
  grep '"error_message"' "$report" >&2
  exit 1
fi
if [ "$runs" -eq 0 ] || [ "$runs" -ne "$once" ]; then
  echo "$(basename "$bench"): $once of $runs benchmarks ran one iteration in the smoke run;" \
       "take fixed counts, times and sizes through bench/smoke.h" >&2
  grep -E '^ *"(name|iterations)":' "$report" >&2
  exit 1
fi
echo "$(basename "$bench"): $runs benchmarks, one iteration each"
