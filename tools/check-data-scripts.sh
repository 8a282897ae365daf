#!/usr/bin/env bash
# Runs data scripts of tools/data-scripts.txt, each into a fresh folder, and
# compares what they make with the committed files (how: the manifest's
# header). Says which files differ, and fails then.
#
#   tools/check-data-scripts.sh [<script file name> ...]   (all when none)
#   tools/check-data-scripts.sh --list                     (the script names)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
manifest="$root/tools/data-scripts.txt"
cd "$root"

entries() { grep -v '^\s*#' "$manifest" | grep -v '^\s*$'; }
# The script a manifest line runs: the first word that starts with tools/.
script_of() {
  local word
  for word in $1; do
    case $word in tools/*) basename "$word"; return ;; esac
  done
}

if [ "${1:-}" = --list ]; then
  entries | while IFS= read -r line; do script_of "${line%%|*}"; done
  exit 0
fi

# Decoded, two files of encoded sound are the same sound: the same channels
# and rate, lengths within 0.1 s, and the difference at least 20 dB below the
# sound itself (coding noise; another tune or a shifted one differs by more).
same_sound() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import subprocess, sys
import numpy as np

def decode(path):
    info = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                           "stream=channels,sample_rate", "-of", "csv=p=0", path],
                          check=True, capture_output=True, text=True, stdin=subprocess.DEVNULL).stdout.strip()
    pcm = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-"],
                         check=True, capture_output=True, stdin=subprocess.DEVNULL).stdout
    return info, np.frombuffer(pcm, np.int16).astype(np.float64)

(info_a, a), (info_b, b) = decode(sys.argv[1]), decode(sys.argv[2])
rate = int(info_a.split(",")[1]) * int(info_a.split(",")[0])
n = min(len(a), len(b))
noise = np.sqrt(np.mean((a[:n] - b[:n]) ** 2))
signal = np.sqrt(np.mean(a[:n] ** 2))
sys.exit(0 if info_a == info_b and abs(len(a) - len(b)) <= rate // 10 and noise <= signal / 10 else 1)
PY
}

failed=0
while IFS= read -r line; do
  command=${line%%|*}
  files=${line#*|}
  script=$(script_of "$command")
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qxF "$script"; then continue; fi

  out=$(mktemp -d)
  # Expanded in the repository: the committed files of each pattern.
  committed=()
  for pattern in $files; do
    matches=($pattern)
    if [ ! -e "${matches[0]}" ]; then
      echo "$script: no committed file matches $pattern" >&2
      failed=1
      continue
    fi
    committed+=("${matches[@]}")
  done
  for file in "${committed[@]}"; do mkdir -p "$out/$(dirname "$file")"; done

  start=$(date +%s)
  # No input: a command that reads it (ffmpeg does) would eat the manifest.
  if ! (export OUT="$out"; bash -c "set -eo pipefail; $command") </dev/null >"$out.log" 2>&1; then
    echo "$script: failed:" >&2
    cat "$out.log" >&2
    failed=1
  else
    for file in "${committed[@]}"; do
      if cmp -s "$file" "$out/$file"; then continue; fi
      if [ -f "$out/$file" ] && [[ $file == *.mp3 || $file == *.ogg ]] && same_sound "$file" "$out/$file"; then
        echo "$script: $file: other bytes (another encoder version?), the same sound"
        continue
      fi
      if [ -f "$out/$file" ]; then
        echo "$script: $file differs from the committed file" >&2
      else
        echo "$script: did not make $file" >&2
      fi
      failed=1
    done
    echo "$script: ${#committed[@]} file(s) checked in $(($(date +%s) - start)) s"
  fi
  rm -rf "$out" "$out.log"
done < <(entries)
exit $failed
