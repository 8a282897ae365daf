#!/usr/bin/env bash
# Installs what playing needs, builds one production, and plays it from its
# run directory: the default one when no name is given. The names are those
# of the production table, src/system/productions.cpp.
#
#   tools/play.sh [name]
#
# It builds in build-play/, without tests or benchmarks, and only the
# production's executable and its run directory (with the packed archive);
# tools/test.sh builds everything in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh --play
build=build-play
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBLA_TESTS=OFF -DZEMBLA_BENCH=OFF >/dev/null
name=${1:-$(cat "$build/default_production")}
targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. //p')
if ! grep -qx "zembla-$name" <<<"$targets"; then
  names=$(sed -n 's/^zembla-//p' <<<"$targets" | tr '\n' ' ')
  echo "No production named $name (there are: $names)." >&2
  exit 2
fi
if ! grep -qx "run_dir_$name" <<<"$targets"; then
  echo "Production $name cannot be played yet: it has no tracks." >&2
  exit 2
fi
cmake --build "$build" -j "$(nproc)" --target "zembla-$name" "run_dir_$name"
run="$build/run/$name"
if [ ! -f "$run/data.tlx" ]; then
  echo "Production $name cannot be played yet: its scenes are not all part of the program." >&2
  exit 2
fi
cd "$run"
exec "../../zembla-$name"
