#!/usr/bin/env bash
# Installs what is missing, builds, and plays a production from its run
# directory: the default one when no name is given. The names are those of
# the production table, src/system/productions.cpp.
#
#   tools/play.sh [name]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
name=${1:-$(cat build/default_production)}
run="build/run/$name"
if [ ! -x "build/zembla-$name" ]; then
  names=$(cd build && ls zembla-* | sed 's/^zembla-//' | tr '\n' ' ')
  echo "No production named $name (there are: $names)." >&2
  exit 2
fi
if [ ! -f "$run/data.tlx" ]; then
  echo "Production $name cannot be played yet: its scenes are not all part of the program." >&2
  exit 2
fi
cd "$run"
exec "../../zembla-$name"
