#!/usr/bin/env bash
# The whole test run, as CI does it: installs what is missing, checks that the
# Debian groups each script installs cover the linux configure
# (scripts/check-deps.sh), then configures, builds and tests every build we ship:
#   linux, linux-asan, linux-tsan, windows-x64 (tests under wine)
#   fuzz (each libFuzzer target runs for a few seconds)
#   bench (each benchmark runs once, briefly, so that it keeps building and running)
#   windows-x86 (compile and link only: this machine cannot run 32-bit programs)
#   a few mutants of scripts/mutants.sh (deliberate faults the unit tests must notice)
# A failed step does not stop the others, so one run shows everything that is
# broken; the exit status is non-zero if any step failed. Build dirs are kept
# (build/<preset>), so a second run only rebuilds what changed.
# Each step's output is also kept in build/logs/<preset>-<step>.log.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tested_presets=(linux linux-asan linux-tsan windows-x64 fuzz bench)
build_only_presets=(windows-x86)

run_start=$(date +%s.%N)

bash scripts/deps.sh --for test-all

log_dir=build/logs
mkdir -p "$log_dir"

total_passed=0
total_failed=0
total_skipped=0
failed_steps=()
summary_rows=()

elapsed_since() {
  awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'
}

# Adds the counts from ctest's closing lines in log $1 to the totals.
# Returns 1 when the log has no such line (ctest did not get to run tests).
count_tests() {
  local log=$1 line failed out_of skipped disabled
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1) || return 1
  [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]] || return 1
  failed=${BASH_REMATCH[1]}
  out_of=${BASH_REMATCH[2]}
  # ctest counts a skipped test among the M it ran (and as passed); a
  # disabled one it leaves out of M altogether. Both are reported as skipped.
  skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log" || true)
  disabled=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Disabled\)$' "$log" || true)
  step_counts="$((out_of - failed - skipped)) passed, $failed failed"
  [[ $((skipped + disabled)) -gt 0 ]] && step_counts+=", $((skipped + disabled)) skipped"
  total_passed=$((total_passed + out_of - failed - skipped))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped + disabled))
  return 0
}

# run_step <preset> <step> <command...>: runs it with output to the console
# and the step's log; sets step_status (ok/FAILED) and step_time.
run_step() {
  local preset=$1 step=$2
  shift 2
  local log=$log_dir/$preset-$step.log start
  echo
  echo "=== $preset: $step"
  start=$(date +%s.%N)
  if "$@" 2>&1 | tee "$log"; then
    step_status=ok
  else
    step_status=FAILED
    failed_steps+=("$preset $step")
  fi
  step_time=$(elapsed_since "$start")
  echo "=== $preset: $step $step_status (${step_time} s)"
}

# Everything is installed here, so a group missing from the demo's or another script's purpose
# would only show on a fresh machine; the check holds each purpose against the linux configure and
# counts as one test.
run_step deps check bash scripts/check-deps.sh
row=$(printf '%-12s %-6s %-14s' deps check "$step_status ${step_time}s")
if [[ $step_status == ok ]]; then
  total_passed=$((total_passed + 1))
  row+="  1 passed, 0 failed"
else
  total_failed=$((total_failed + 1))
  row+="  0 passed, 1 failed"
fi
summary_rows+=("$row")

for preset in "${tested_presets[@]}" "${build_only_presets[@]}"; do
  row=$(printf '%-12s' "$preset")
  step_counts=
  tested=0
  [[ " ${tested_presets[*]} " == *" $preset "* ]] && tested=1
  for step in configure build prefix test; do
    case $step in
      # A step of its own so that the wine prefix's one-off cost shows apart.
      prefix) [[ $tested == 1 && $preset == windows-* ]] || continue ;;
      test) [[ $tested == 1 ]] || continue ;;
    esac
    if [[ $step == prefix ]]; then
      run_step "$preset" "wine-prefix" cmake/wine-run.sh --init "build/$preset"
    else
      run_step "$preset" "$step" bash scripts/build.sh "$preset" "$step"
    fi
    row+=$(printf ' %-6s %-14s' "$step" "$step_status ${step_time}s")
    if [[ $step == test ]]; then
      if ! count_tests "$log_dir/$preset-test.log"; then
        # ctest died before its summary (no tests found, crash): count the
        # run as one failure so the totals cannot look clean.
        total_failed=$((total_failed + 1))
        step_counts="no ctest summary, counted as 1 failed"
      fi
    fi
    [[ $step_status == ok ]] || break
  done
  summary_rows+=("$row${step_counts:+  $step_counts}")
done

# A handful of deliberate faults that the unit tests must notice; scripts/mutants.sh without
# --quick tries the whole table, which takes too long for every run. Each mutant counts as a test.
run_step mutants quick bash scripts/mutants.sh --quick
row=$(printf '%-12s %-6s %-14s' mutants quick "$step_status ${step_time}s")
score=$(grep -E '^score: [0-9]+ of [0-9]+ killed' "$log_dir/mutants-quick.log" | tail -n 1 || true)
if [[ $score =~ ^score:\ ([0-9]+)\ of\ ([0-9]+) ]]; then
  total_passed=$((total_passed + BASH_REMATCH[1]))
  total_failed=$((total_failed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  row+="  ${BASH_REMATCH[1]} of ${BASH_REMATCH[2]} mutants killed"
else
  total_failed=$((total_failed + 1))
  row+="  no score, counted as 1 failed"
fi
summary_rows+=("$row")

echo
echo "=== summary (logs in $log_dir/, total $(elapsed_since "$run_start") s)"
printf '%s\n' "${summary_rows[@]}"
if [[ ${#failed_steps[@]} -gt 0 ]]; then
  echo "failed steps: $(printf '[%s] ' "${failed_steps[@]}")"
fi
final="$total_passed passed, $total_failed failed"
[[ $total_skipped -gt 0 ]] && final+=", $total_skipped skipped"
echo "$final"

[[ ${#failed_steps[@]} -eq 0 && $total_failed -eq 0 ]]
