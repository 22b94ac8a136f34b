#!/usr/bin/env bash
# The main job without a gauge: the gauge simulator plays a VARNITRON pocket gauge on a
# pseudo-terminal mapped as COM5, and valbrix-road prints every value as the text that would be
# typed. With --port N it listens on a real gauge on COMn instead and runs until Ctrl+C.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

port=
if [[ ${1:-} == --port ]]; then
  port=${2:?"usage: scripts/run-demo.sh [--port N]"}
fi

bash scripts/deps.sh build x11
[[ -f build/linux/CMakeCache.txt ]] || cmake --preset linux >/dev/null
cmake --build --preset linux --target valbrix-road gaugesim

bin=build/linux
if [[ -n $port ]]; then
  exec "$bin/src/valbrix-road" --port "$port"
fi

config=$(mktemp -d)
trap 'kill $sim_pid $road_pid 2>/dev/null || true; rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
link=$config/Oden_Malvert/Valbrix/ports/COM5

"$bin/tools/gaugesim/gaugesim" --link "$link" --script scripts/demo-gauge.txt --exit-after > "$config/gaugesim.log" &
sim_pid=$!
for _ in $(seq 100); do [[ -e $link ]] && break; sleep 0.05; done
[[ -e $link ]] || { cat "$config/gaugesim.log"; echo "run-demo: the gauge simulator did not start" >&2; exit 1; }

"$bin/src/valbrix-road" --port 5 &
road_pid=$!
wait "$sim_pid"
sim_status=$?
sleep 0.5
kill -INT "$road_pid"
wait "$road_pid" || true
exit "$sim_status"
