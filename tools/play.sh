#!/usr/bin/env bash
# Installs what is missing, builds, and plays a production (the default one
# when no name is given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec build/zembla "$@"
