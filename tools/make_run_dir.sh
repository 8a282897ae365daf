#!/usr/bin/env bash
# Lays out the run directory of one production (the program reads everything
# relative to the folder it runs in):
#
#   <run>/data/<folder>       a link to each shared asset folder of data/
#   <run>/data/sync_tracker/  the production's own track files: one for every
#                             track it registers, the scene manager's own and
#                             its scenes' (`synctimeline tracks <name>`),
#                             keyed from data/productions/<name>/timeline.txt
#                             where that has keys, else without keys
#   <run>/data.tlx            the archive, packed by the archive-write run of
#                             the packer (only when a packer is given and the
#                             production is playable: `<packer> --check`)
#
#   tools/make_run_dir.sh <source root> <run dir> <production> <synctimeline> [<packer>]
#
# A timeline key for a track the production does not register is an error:
# nothing would ever read it.
set -euo pipefail
root=$1 run=$2 name=$3 synctimeline=$4 packer=${5:-}
production="$root/data/productions/$name"
timeline="$production/timeline.txt"

rm -rf "$run"
mkdir -p "$run/data"
for entry in "$root"/data/*/; do
  folder=$(basename "$entry")
  case "$folder" in productions|sync_tracker) continue ;; esac
  ln -s "${entry%/}" "$run/data/$folder"
done

# The tool's errors, without its note of what it wrote.
compile() {
  local said
  said=$("$synctimeline" compile "$1" "$2" 2>&1) || { echo "$said" >&2; exit 1; }
}

tracks="$run/data/sync_tracker"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$synctimeline" tracks "$name" >"$scratch/tracks.txt" || exit 1
compile "$scratch/tracks.txt" "$tracks"
if [ -f "$timeline" ]; then
  keyed="$scratch/keyed"
  compile "$timeline" "$keyed"
  for file in "$keyed"/_*.track; do
    [ -e "$file" ] || continue
    base=$(basename "$file")
    if [ ! -e "$tracks/$base" ]; then
      track=${base#_}
      echo "$timeline: track ${track%.track} is registered neither by the scenes of $name nor by the" \
           "scene manager (\`synctimeline tracks $name\` lists those that are)" >&2
      exit 1
    fi
    cp "$file" "$tracks/$base"
  done
fi

if [ -n "$packer" ]; then
  status=0
  "$packer" --check "$name" 2>/dev/null || status=$?
  case $status in
    0) ;;
    3) exit 0 ;;  # not playable yet: no archive
    *) echo "$packer --check $name failed ($status)" >&2; exit 1 ;;
  esac
  here=$(cd "$(dirname "$0")" && pwd)
  # On a virtual display of its own, never on the user's screen, and with
  # SDL's silent audio driver: the packing run shows nothing to anyone.
  if ! (cd "$run" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \
          "$here/with-display.sh" timeout -k 5 120 "$packer" "$name") >"$run/pack.log" 2>&1; then
    cat "$run/pack.log" >&2
    echo "packing data.tlx of $name failed" >&2
    exit 1
  fi
  [ -f "$run/data.tlx" ] || { echo "$run/data.tlx was not written" >&2; exit 1; }
fi
