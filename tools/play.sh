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

# A name is checked against the table before anything is installed or
# configured, so that a typo is answered at once. The build reads the names
# the same way: the first line of each row reads `{<id>, "<name>",`.
names=$(sed -n 's/^ *{[0-9]\{1,\}, *"\([a-z0-9_]\{1,\}\)",.*/\1/p' src/system/productions.cpp)
if [ $# -gt 0 ]; then
  if ! grep -qxF -- "$1" <<<"$names"; then
    echo "No production named $1 (there are: $(tr '\n' ' ' <<<"$names"| sed 's/ $//'))." >&2
    exit 2
  fi
fi

tools/install-deps.sh --play
build=build-play
# Optimised as the test build is (-O2), without debug information, and the
# library compiled in batches of files: the headers every file includes are
# then read once a batch, not once a file. Together that makes the first
# build about a third of the work of one file by file with debug information.
# A tree already configured with the same settings is not configured again
# (the build itself configures again when a CMakeLists.txt changed): the
# settings of the last configure that succeeded are kept in $stamp.
stamp=$build/play-configure.txt
configure() {
  local settings=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_UNITY_BUILD="$1" -DCMAKE_UNITY_BUILD_BATCH_SIZE=16
    -DZEMBLA_TESTS=OFF -DZEMBLA_BENCH=OFF)
  if [ -f "$build/CMakeCache.txt" ] && [ "$(cat "$stamp" 2>/dev/null)" = "${settings[*]}" ]; then
    return
  fi
  rm -f "$stamp"
  cmake -S . -B "$build" "${settings[@]}" >/dev/null
  echo "${settings[*]}" >"$stamp"
}
configure ON
name=${1:-$(cat "$build/default_production")}
# The program first, alone: a failure of the batches shows there. Each target
# named to the build walks the whole library again (a second or more on a
# busy machine even with nothing to do), so the run directory, which builds
# the two tools that pack the archive, is the only other one.
if ! cmake --build "$build" -j "$(nproc)" --target "zembla-$name"; then
  # Two files that give a private name of theirs the same name cannot share
  # a batch; file by file they still build.
  echo "The build in batches failed; building file by file." >&2
  configure OFF
  cmake --build "$build" -j "$(nproc)" --target "zembla-$name"
fi
cmake --build "$build" -j "$(nproc)" --target "run_dir_$name"
run="$build/run/$name"
if [ ! -f "$run/data.tlx" ]; then
  echo "Production $name cannot be played yet: its scenes are not all part of the program." >&2
  exit 2
fi
cd "$run"
exec "../../zembla-$name"
