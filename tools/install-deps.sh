#!/usr/bin/env bash
# Installs the Debian packages that are not installed yet: those of
# tools/debian-packages.txt (building and playing) and, unless --play is
# given, those of tools/debian-test-packages.txt (tests and benchmarks); with
# --authoring also those of tools/authoring-packages.txt (what the scripts
# that make data need, tools/data-scripts.txt); with --fuzz those of
# tools/fuzz-packages.txt (clang for the libFuzzer build).
#
#   tools/install-deps.sh [--play | --authoring | --fuzz]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/debian-packages.txt")
[ "${1:-}" = --play ] || lists+=("$here/debian-test-packages.txt")
[ "${1:-}" != --authoring ] || lists+=("$here/authoring-packages.txt")
[ "${1:-}" != --fuzz ] || lists+=("$here/fuzz-packages.txt")
mapfile -t wanted < <(cat "${lists[@]}" | grep -v '^\s*#' | grep -v '^\s*$')
# One query for the whole list: a query a package costs seconds on a busy
# machine, at every play. A package dpkg does not know is missing too.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null |
  sed -n 's/ install ok installed$//p' || true)
missing=()
for p in "${wanted[@]}"; do
  grep -qxF -- "$p" <<<"$installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Installing packages needs root or sudo." >&2; exit 1; }
    sudo_cmd=(sudo)
  fi
  # env, not a plain assignment: sudo drops the caller's environment.
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
