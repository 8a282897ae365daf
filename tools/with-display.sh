#!/usr/bin/env bash
# Runs a command on the current display, or on a virtual display of its own
# (Xvfb, 1280x720x24) started for it when DISPLAY is unset.
#
#   tools/with-display.sh <command> [arguments]
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
display_file=$(mktemp)
# Xvfb picks a free display number and writes it to fd 3. -noreset: by
# default the server resets whenever its last client leaves and drops a
# client that connects meanwhile, so with tests coming and going one of them
# now and then finds no display.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
echo "Virtual display $DISPLAY" >&2
"$@"
