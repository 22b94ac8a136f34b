#!/usr/bin/env bash
# Valbrix.exe under wine: its size, and its memory after a long memory dump typed into a window, with
# the simulated gauge on COM5 of a fresh wine prefix. Without a display it runs on a virtual X server
# of its own. Takes about three minutes.
#
#   bench/windows_bench.sh [build folder]      default: build/windows-x64 (built with its tests)
#
# Prints:
#   Valbrix.exe                      bytes as built, and stripped as the release ships it
#   resident memory after N values   VmRSS and VmHWM of the wine process that runs Valbrix.exe once
#                                    the dump's last value has been typed (the process holds wine's
#                                    own libraries too; the wineserver and explorer.exe are apart),
#                                    and RssAnon, its memory that is no mapped file: heap and stacks
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/windows-x64}" && pwd)
values=2999
program=$build/src/win32/Valbrix.exe
receiver=$build/tests/win32_receiver.exe
gaugesim=$build/wine_host/gaugesim/gaugesim
for file in "$program" "$receiver" "$gaugesim"; do
  [[ -x $file ]] || { echo "windows_bench: no $file: scripts/build.sh windows-x64 first" >&2; exit 1; }
done

if [[ -z ${DISPLAY:-} ]]; then
  exec "$root/tests/e2e/with-xvfb.sh" bash "$0" "$build"
fi

work=$(mktemp -d /tmp/valbrix-bench-XXXXXX)
pids=()
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES=winedbg.exe=d
trap 'kill "${pids[@]}" 2>/dev/null || true; exec 7>&- || true; /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

size() { stat -c %s "$1"; }
x86_64-w64-mingw32-strip -o "$work/stripped.exe" "$program"
printf 'Valbrix.exe:                     %d bytes, stripped %d bytes\n' "$(size "$program")" "$(size "$work/stripped.exe")"

env -u DISPLAY VALBRIX_WINEPREFIX="$WINEPREFIX" "$root/cmake/wine-run.sh" --init "$work" 2>/dev/null
folder=$(echo "$WINEPREFIX"/drive_c/users/"$(id -un)")/AppData/Local/Oden_Malvert/Valbrix
mkdir -p "$folder"
# Into the tray at start, so every value is typed; ENTER after each.
printf '[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nAutoMinimize=1\r\nSeparator=Enter\r\n' >"$folder/Valbrix.ini"

mkfifo "$work/gauge"
"$gaugesim" --fast --link "$WINEPREFIX/dosdevices/com5" --script - <"$work/gauge" >/dev/null &
pids+=("$!")
exec 7>"$work/gauge"

/usr/lib/wine/wine64 "Z:$receiver" --keep-focus >"$work/received" 2>/dev/null &
pids+=("$!")

wait_for() {  # wait_for <file> <extended regex> <seconds>
  local deadline=$((SECONDS + $3))
  until grep -Eq "$2" "$1" 2>/dev/null; do
    ((SECONDS < deadline)) || { echo "windows_bench: no '$2' in $1 within $3 s" >&2; exit 1; }
    sleep 0.05
  done
}
wait_for "$work/received" 'receiver ready' 60

/usr/lib/wine/wine64 "Z:$program" >/dev/null 2>&1 &
valbrix=$!
pids+=("$valbrix")
wait_for "$work/received" 'window hidden' 60
wait_for "$work/received" 'control 1014: Pocket-VARNITRON' 60
dumped=$(date +%s%N)
echo "dump $values 1 um" >&7
deadline=$((SECONDS + 900))
until (($(grep -c '^typed <ENTER>' "$work/received") >= values)); do
  ((SECONDS < deadline)) || { echo "windows_bench: the dump was not typed within 900 s" >&2; exit 1; }
  sleep 1
done
typed=$(date +%s%N)
read -r rss hwm anon < <(awk '/^VmRSS/ { r = $2 } /^VmHWM/ { h = $2 } /^RssAnon/ { a = $2 } END { print r, h, a }' \
  "/proc/$valbrix/status")
awk -v n="$values" -v r="$rss" -v h="$hwm" -v a="$anon" -v s=$(((typed - dumped) / 1000000000)) \
  -v name="$(cat "/proc/$valbrix/comm")" \
  'BEGIN { printf "resident memory after %d values: VmRSS %.1f MB (of it RssAnon %.1f MB), VmHWM %.1f MB (process %s; sent and typed in %d s)\n", n, r / 1024, a / 1024, h / 1024, name, s }'
