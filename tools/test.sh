#!/usr/bin/env bash
# Builds everything and runs every test under a virtual display: the GL and
# end-to-end tests and one smoke run of each benchmark in the normal build;
# the unit tests and the fuzz corpora under AddressSanitizer and
# UndefinedBehaviorSanitizer; and short runs of every production from its
# archive under AddressSanitizer with leak detection on.
#
# Every process the run starts carries a mark in its environment; one still
# alive at the end is named, ended, and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mark_name=ZEMBLA_TEST_RUN

# The processes other than this script that carry the mark `$1` (read by
# one grep that does not carry it).
marked_processes() {
  env -u "$mark_name" grep -lzxs "$mark_name=$1" /proc/[0-9]*/environ |
    sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p' | grep -vx "$$" || true
}

if [ "${1:-}" != --inside ]; then
  # With the authoring packages: a test makes the data again from its scripts.
  tools/install-deps.sh --authoring
  mark="$$-$(date +%s%N)"
  export "$mark_name=$mark"
  status=0
  # The whole run, build included (it packs the productions' archives), on a
  # virtual display of its own when none is set.
  tools/with-display.sh "$0" --inside || status=$?
  unset "$mark_name"
  # A process ended by the run's last step may take a moment to go.
  for _ in $(seq 50); do
    [ -z "$(marked_processes "$mark")" ] && break
    sleep 0.1
  done
  left=$(marked_processes "$mark")
  if [ -n "$left" ]; then
    echo "Processes the test run started are still alive; ending them:" >&2
    for pid in $left; do ps -o pid=,ppid=,etime=,args= -p "$pid" >&2 || true; done
    kill -KILL $left 2>/dev/null || true
    status=1
  fi
  exit $status
fi

jobs=$(nproc)
# Line tables only (-g1): enough for backtraces, and the build takes half the
# time of full debug information on a small machine. The unit label runs in
# the sanitizer tree only; both trees compile the tests' common headers once.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DZEMBLA_UNIT_TESTS=OFF -DZEMBLA_TEST_PCH=ON >/dev/null
cmake --build build -j "$jobs"

status=0
# Tests that open windows on the shared virtual display now and then fail to
# get a connection or a context while many run at once; such a test gets one
# more try, a last guard: every test waits for what it watches with a
# deadline. A test that fails twice fails the run. The benchmarks' smoke runs
# (label bench) are among these tests.
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300 --repeat until-pass:2) || status=1

# The sanitizer build runs the unit label (unit tests and fuzz-corpus
# replays) and the leak check's programs: it builds just those.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
  -DZEMBLA_SANITIZE=ON -DZEMBLA_BENCH=OFF -DZEMBLA_TEST_PCH=ON >/dev/null
cmake --build build-asan -j "$jobs" --target unit_label_programs production_programs
# A process for each test, as ctest runs them, would spend most of the label's
# time starting the sanitizers; the unit tests run instead in one process a
# core, each a share of them (gtest's shards), the fuzz replays under ctest.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
shard_pids=()
for shard in $(seq 0 $((jobs - 1))); do
  (cd build-asan && GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$shard \
     timeout -k 10 1200 tests/unit_tests --gtest_brief=1 >"unit-shard-$shard.log" 2>&1) &
  shard_pids+=($!)
done
for shard in "${!shard_pids[@]}"; do
  if ! wait "${shard_pids[$shard]}"; then
    echo "Unit tests, shard $shard of $jobs, under the sanitizers failed:" >&2
    cat "build-asan/unit-shard-$shard.log" >&2
    status=1
  fi
done
(cd build-asan && ctest --output-on-failure -j "$jobs" -L unit -R '^fuzz_replay_' --timeout 300) || status=1
unset ASAN_OPTIONS UBSAN_OPTIONS

# The leak check: e2e tests of the normal tree run the sanitizer tree's
# programs from the normal tree's archives with leak detection on, one test
# a production side by side, and a fatal error's box (they are skipped in the
# normal tree's own run, which names no sanitizer build).
(cd build && ZEMBLA_LEAK_CHECK_BUILD="$root/build-asan" \
   ctest --output-on-failure -j "$jobs" -R 'LeakCheckE2ETest\.|SanitizerE2ETest\.' --timeout 900) || status=1

exit $status
