#!/usr/bin/env bash
# The main job without a gauge: the gauge simulator plays a VARNITRON pocket gauge on a
# pseudo-terminal mapped as COM5, the desktop program Valbrix hides itself into the tray and types
# every reading into a receiving text window, which also echoes what it got on this terminal.
# Without a display all of it runs on a virtual X server and ends by itself.
#
#   scripts/run-demo.sh              the desktop program and the receiving window
#   scripts/run-demo.sh --headless   the value road only: keys printed instead of typed
#   scripts/run-demo.sh --port N     the value road on a real gauge on COMn, until Ctrl+C
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

mode=desktop
port=
case ${1:-} in
  --headless) mode=headless ;;
  --port) mode=port; port=${2:?"usage: scripts/run-demo.sh [--headless | --port N]"} ;;
  "") ;;
  *) echo "usage: scripts/run-demo.sh [--headless | --port N]" >&2; exit 2 ;;
esac

bash scripts/deps.sh --for demo
[[ -f build/linux/CMakeCache.txt ]] || cmake --preset linux >/dev/null
cmake --build --preset linux --target valbrix valbrix-road valbrix-receiver gaugesim
bin=build/linux

if [[ $mode == port ]]; then
  exec "$bin/tools/road/valbrix-road" --port "$port"
fi
if [[ $mode == desktop && -z ${DISPLAY:-} ]]; then
  echo "run-demo: no display; running on a virtual X server"
  VALBRIX_DEMO_XVFB=1 exec tests/e2e/with-xvfb.sh bash "$0" "$@"
fi
# The gauges' micro sign is typed as AltGr+M, which gives µ on a German keyboard map; our own
# virtual X server gets that map (a desktop keeps the user's own).
if [[ -n ${VALBRIX_DEMO_XVFB:-} ]]; then
  setxkbmap de
fi

config=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR=$config/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
folder=$config/Oden_Malvert/Valbrix
link=$folder/ports/COM5
mkdir -p "$folder"
# COM5, English, transfer on, into the tray at start, ENTER after each value, "12.5 µm" (µ is 0xB5).
printf '[Settings]\r\nComPort=5\r\nLanguage=1\r\nActiveOnStartup=1\r\nAutoMinimize=1\r\nSeparator=Enter\r\nDecimalSeparator=.\r\nFormat=2,7 \xb5m/mil/Tesla\r\n' \
  >"$folder/Valbrix.ini"

"$bin/tools/gaugesim/gaugesim" --link "$link" --script scripts/demo-gauge.txt --exit-after >"$config/gaugesim.log" &
sim=$!
pids+=("$sim")
for _ in $(seq 100); do [[ -e $link ]] && break; sleep 0.05; done
[[ -e $link ]] || { cat "$config/gaugesim.log"; echo "run-demo: the gauge simulator did not start" >&2; exit 1; }

if [[ $mode == headless ]]; then
  "$bin/tools/road/valbrix-road" --port 5 &
  pids+=("$!")
else
  echo "run-demo: the receiving window shows what Valbrix types; it is echoed here too:"
  "$bin/tools/receiver/valbrix-receiver" 2>/dev/null &
  pids+=("$!")
  sleep 1
  "$bin/src/valbrix" &
  pids+=("$!")
fi

status=0
wait "$sim" || status=$?
sleep 1
kill -TERM "${pids[@]:1}" 2>/dev/null || true
wait "${pids[@]:1}" 2>/dev/null || true
echo
exit "$status"
