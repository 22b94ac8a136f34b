#!/usr/bin/env bash
# The desktop program on a virtual X server (run it through tests/e2e/with-xvfb.sh), without a gauge,
# once in each interface language: its window has to come up, SIGTERM has to end it with exit code 0
# after the orderly shutdown, and that shutdown has to have saved the settings into the per-user file.
#
#   valbrix_smoke_test.sh <valbrix executable>
set -euo pipefail
valbrix=$1

fail() { echo "valbrix_smoke_test: $*" >&2; exit 1; }

window_id() { xwininfo -root -tree | awk '/"Valbrix": \(/ { print $1; exit }'; }

config=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill -KILL "$pid" 2>/dev/null; rm -rf "$config"' EXIT

for language in 0 1; do
  export XDG_CONFIG_HOME=$config/$language
  ini=$XDG_CONFIG_HOME/Oden_Malvert/Valbrix/Valbrix.ini
  mkdir -p "$(dirname "$ini")"
  # An existing per-user file is the one the program uses; otherwise it would write beside itself.
  printf '[Settings]\r\nLanguage=%s\r\n' "$language" >"$ini"

  "$valbrix" &
  pid=$!
  id=
  for _ in $(seq 200); do
    id=$(window_id)
    [[ -n $id ]] && break
    kill -0 "$pid" 2>/dev/null || fail "valbrix ended before its window came up (language $language)"
    sleep 0.1
  done
  [[ -n $id ]] || fail "no window named Valbrix within 20 s (language $language)"

  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || fail "valbrix ended with exit code $status after SIGTERM (language $language)"
  grep -q '^ComPort=' "$ini" || fail "no ComPort= in $ini after the shutdown"
  grep -q "^Language=$language" "$ini" || fail "Language=$language not kept in $ini"
done
echo "valbrix_smoke_test: window up and orderly shutdown in both languages"
