#!/usr/bin/env bash
# Installs what is missing, builds, and plays a production from its run
# directory: the default one (tidewell) when no name is given.
#
#   tools/play.sh [debug|brisken|pelltide|quendle|tidewell|korrin]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
name=${1:-tidewell}
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
run="build/run/$name"
if [ ! -x "build/zembla-$name" ]; then
  echo "No production named $name." >&2
  exit 2
fi
if [ ! -f "$run/data.tlx" ]; then
  echo "Production $name cannot be played yet: its scenes are not all part of the program." >&2
  exit 2
fi
cd "$run"
exec "../../zembla-$name"
