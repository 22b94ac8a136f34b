#!/usr/bin/env bash
# Runs a command against a virtual X server of its own, which ends with it.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 display <"$fifo" || { echo "with-xvfb.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display
"$@"
