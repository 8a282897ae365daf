#!/usr/bin/env bash
# Builds everything and runs every test: the unit, GL and end-to-end tests of
# the normal build under a virtual display, then the unit tests and the fuzz
# corpora again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display number and writes it to fd 3, so runs next to
  # another virtual display (or another test run) do not share one.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$display_file")"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  echo "Virtual display $DISPLAY"
fi

status=0
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300) || status=1

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZEMBLA_SANITIZE=ON -DZEMBLA_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" -L unit --timeout 300) || status=1

exit $status
