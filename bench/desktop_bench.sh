#!/usr/bin/env bash
# The desktop program's start-up time, its memory after a long memory dump and its CPU time while
# idle, measured on the real binary with the simulated gauge and the receiving window. Without a
# display it runs on a virtual X server of its own. Takes about six minutes.
#
#   bench/desktop_bench.sh [build folder]      default: build/linux (any preset with the program)
#
# Prints:
#   start-up to "Programm aktiv."   milliseconds from starting the program to the status line text
#   resident memory after N values  VmRSS and VmHWM once the dump's last value has been typed
#   idle CPU over 60 s, three times user + system time and share of one core: with a model group 1
#                                   gauge switched off (asked who it is every two seconds), with an
#                                   identified gauge that says nothing, and while the port is gone
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(cd "${1:-$root/build/linux}" && pwd)
values=2999

if [[ -z ${DISPLAY:-} ]]; then
  exec "$root/tests/e2e/with-xvfb.sh" bash "$0" "$bin"
fi

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; exec 7>&- || true; wait "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work
folder=$work/Oden_Malvert/Valbrix
mkdir -p "$folder"
# Into the tray at start, so every value is typed; ENTER after each.
printf '[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nAutoMinimize=1\r\nSeparator=Enter\r\n' >"$folder/Valbrix.ini"

mkfifo "$work/gauge"
"$bin/tools/gaugesim/gaugesim" --fast --link "$folder/ports/COM5" --script - <"$work/gauge" >/dev/null &
pids+=("$!")
exec 7>"$work/gauge"
# Switched off until the first idle figure is taken.
echo "silent on" >&7
for _ in $(seq 100); do [[ -e $folder/ports/COM5 ]] && break; sleep 0.05; done

"$bin/tools/receiver/valbrix-receiver" >"$work/received" 2>/dev/null &
pids+=("$!")
sleep 1

wait_for() {  # wait_for <file> <extended regex> <seconds>
  local deadline=$((SECONDS + $3))
  until grep -Eq "$2" "$1" 2>/dev/null; do
    ((SECONDS < deadline)) || { echo "desktop_bench: no '$2' in $1 within $3 s" >&2; exit 1; }
    sleep 0.01
  done
}

started=$(date +%s%N)
"$bin/src/valbrix" --trace >"$work/trace" 2>/dev/null &
valbrix=$!
pids+=("$valbrix")
wait_for "$work/trace" 'control 1003: Programm aktiv\.' 30
active=$(date +%s%N)
printf 'start-up to "Programm aktiv.":   %d ms\n' $(((active - started) / 1000000))

ticks() { awk '{ print $14 + $15 }' "/proc/$valbrix/stat"; }
idle_cpu() {  # idle_cpu <what>: the program's CPU time over the next 60 s
  local before after
  sleep 5
  before=$(ticks)
  sleep 60
  after=$(ticks)
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v what="$1" \
    'BEGIN { printf "idle CPU over 60 s, %-28s %.2f s (%.3f %% of a core)\n", what ":", t / hz, t / hz / 60 * 100 }'
}

wait_for "$work/trace" 'window hidden' 30
idle_cpu "gauge switched off"
echo "silent off" >&7
wait_for "$work/trace" 'Pocket-VARNITRON' 30
dumped=$(date +%s%N)
echo "dump $values 1 um" >&7
deadline=$((SECONDS + 600))
until (($(grep -c '<ENTER>' "$work/received") >= values)); do
  ((SECONDS < deadline)) || { echo "desktop_bench: the dump was not typed within 600 s" >&2; exit 1; }
  sleep 1
done
typed=$(date +%s%N)
read -r rss hwm < <(awk '/^VmRSS/ { r = $2 } /^VmHWM/ { h = $2 } END { print r, h }' "/proc/$valbrix/status")
awk -v n="$values" -v r="$rss" -v h="$hwm" -v s=$(((typed - dumped) / 1000000000)) \
  'BEGIN { printf "resident memory after %d values: VmRSS %.1f MB, VmHWM %.1f MB (sent and typed in %d s)\n", n, r / 1024, h / 1024, s }'

idle_cpu "identified, silent gauge"
# Pulled out for longer than the measurement.
echo "unplug 120000" >&7
wait_for "$work/trace" 'COM5 getrennt' 30
idle_cpu "port gone"
