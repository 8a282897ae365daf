#!/usr/bin/env bash
# The layers of the program's source, and the check that keeps them: a file
# under src/ may include files of its own layer and of the layers below it,
# never a file of a layer above. This list is the one place the order is
# written; the test command runs the check (tests/tools/check_layers_e2etest.cpp).
#
# Lowest first. A file belongs to the layer of the longest folder here that
# holds it; the files directly in src/ are the program, on top.
layers=(
  platform    # stand-ins for the platform's services: files, clocks, sockets, sound, message boxes, the log
  system      # the core of the run: settings and production table, the failure convention, window, setup
              # dialog, input state, frame timer
  util/math   # vectors, matrices and scalar helpers
  util        # the engine: data and loading screens, music and sync, GPU resources, text, ASCII art,
              # vector paths, 3D objects, camera, AVI writer; its folders may include one another
  effects     # the effects and the post-processing passes
  scenes      # the Scene interface and the scenes
  # (src/ itself: main, the run's steps, the scene manager and its frame loop)
)
#
#   tools/check-layers.sh [<source folder, default src/ of this tree>]
#
# Includes are written from the source folder ("util/math/vector.h"). Prints
# every include that goes up a layer, every include that names no file of
# the source folder, and every folder that is in no layer, then exits 1; exits
# 0 when there is none. A new folder under src/ takes its place in the list.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
[ -d "$src" ] || { echo "$src: no such folder" >&2; exit 2; }
cd "$src"

# The first input lists every source file, the second every quoted include
# as "<file>:<line>:<included path>".
awk -v layer_list="${layers[*]}" '
function layer_of(path,    i, best, len) {
  best = -1; len = -1
  for (i = 1; i <= n; ++i)
    if (index(path, names[i] "/") == 1 && length(names[i]) > len) { best = i; len = length(names[i]) }
  if (best >= 0) return best
  return index(path, "/") ? 0 : n + 1   # 0: in no layer; n + 1: the program
}
function layer_name(i) { return i == n + 1 ? "the program (src/)" : names[i] }
BEGIN { n = split(layer_list, names, " "); bad = 0 }
FNR == NR {
  exists[$0] = 1
  if (layer_of($0) == 0) {
    dir = $0; sub(/\/[^\/]*$/, "", dir)
    if (!(dir in told)) {
      told[dir] = 1
      print "src/" dir "/ is in no layer: give it its place in the list of tools/check-layers.sh"
      bad = 1
    }
  }
  next
}
{
  split($0, part, ":")
  file = part[1]; line = part[2]; target = part[3]
  if (!(target in exists)) {
    print "src/" file ":" line " includes \"" target "\", which is no file under src/ (includes are written from src/)"
    bad = 1
    next
  }
  from = layer_of(file); to = layer_of(target)
  if (from == 0 || to == 0) next   # told above
  if (to > from) {
    print "src/" file ":" line " includes " target ": " layer_name(from) " is below " layer_name(to)
    bad = 1
  }
}
END { exit bad }' \
  <(find . -type f \( -name '*.cpp' -o -name '*.h' \) | sed 's|^\./||' | sort) \
  <(grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' . |
    sed -E 's|^\./||; s|^([^:]*:[0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*|\1:\2|' || true)
