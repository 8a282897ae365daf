#!/usr/bin/env bash
# Records a production's whole show as "Get avi" does, on a virtual display of
# its own sized to the recording (the setup dialog then offers that one
# resolution), for tools/score_recording.py to score:
#
#   tools/record_show.sh <build dir> <production> <width>x<height> <folder>
#
# The build dir holds zembla-<production> and run/<production>/data.tlx
# (`cmake --build <build dir> --target zembla-<production> run_dir_<production>`).
# The recording's parts ("<title>.01.avi", ...) land in <folder>, which must
# not hold an older recording; the program's output goes to <folder>/output.txt.
# A show of 150 s at 640x360 takes some minutes on llvmpipe. Gives up after
# $RECORD_DEADLINE seconds (3600), ending the program and the display.
set -euo pipefail
[ $# -eq 4 ] || { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
build=$(cd "$1" && pwd) name=$2 size=$3 folder=$4
root=$(cd "$(dirname "$0")/.." && pwd)
deadline=${RECORD_DEADLINE:-3600}
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || { echo "size \"$size\": give it as <width>x<height>" >&2; exit 2; }
program="$build/zembla-$name"
archive="$build/run/$name/data.tlx"
[ -x "$program" ] || { echo "$program: not built" >&2; exit 1; }
[ -f "$archive" ] || { echo "$archive: not packed (build run_dir_$name)" >&2; exit 1; }
# The dialog is titled like the production: the row's title in the table.
title=$(sed -n "s/^ *{[0-9]*, \"$name\",.*//;T;n;s/^ *\"\\([^\"]*\\)\".*/\\1/p" "$root/src/system/productions.cpp")
[ -n "$title" ] || { echo "no production \"$name\" with a title in src/system/productions.cpp" >&2; exit 1; }
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
if compgen -G "$folder/*.avi" >/dev/null; then
  echo "$folder already holds a recording" >&2
  exit 1
fi
ln -sf "$archive" "$folder/data.tlx"

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=
finish() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file" "$folder/data.tlx"
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"

(cd "$folder" && exec "$program") >"$folder/output.txt" 2>&1 &
program_pid=$!
dialog=
for _ in $(seq 600); do
  dialog=$(xdotool search --name "^$title\$" 2>/dev/null | head -n1 || true)
  [ -n "$dialog" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$dialog" ] || { echo "no setup dialog \"$title\" came; the program said:" >&2; cat "$folder/output.txt" >&2; exit 1; }
xdotool windowfocus --sync "$dialog" key alt+a
started=$(date +%s)
while kill -0 "$program_pid" 2>/dev/null; do
  if [ $(($(date +%s) - started)) -gt "$deadline" ]; then
    echo "the recording took longer than $deadline s; ended it" >&2
    exit 1
  fi
  sleep 1
done
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || { echo "the program ended with status $status:" >&2; cat "$folder/output.txt" >&2; exit 1; }
ls "$folder"/*.avi
echo "recorded in $(($(date +%s) - started)) s"
