#!/usr/bin/env bash
# Configures, builds and tests one CMake preset, the way scripts/test-all.sh does.
#
#   scripts/build.sh <preset> [configure|build|test ...] [-- <ctest args>]
#
# Without steps: configure and build, then test when the preset has a test
# preset (linux, linux-asan, linux-tsan, windows-x64). Anything after -- goes to
# ctest, e.g.  scripts/build.sh linux test -- -R Text
# Build dirs are build/<preset>. Installs nothing: see scripts/deps.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

die() { echo "build.sh: $*" >&2; exit 2; }

[[ $# -ge 1 ]] || die "usage: scripts/build.sh <preset> [configure|build|test ...] [-- <ctest args>]"
preset=$1
shift

steps=()
ctest_args=()
while [[ $# -gt 0 ]]; do
  case $1 in
    configure|build|test) steps+=("$1") ;;
    --) shift; ctest_args=("$@"); break ;;
    *) die "unknown step '$1' (configure, build or test)" ;;
  esac
  shift
done

has_test_preset() {
  cmake --list-presets=test 2>/dev/null | grep -q "^ *\"$1\""
}

if [[ ${#steps[@]} -eq 0 ]]; then
  steps=(configure build)
  has_test_preset "$preset" && steps+=(test)
fi

run() {
  echo "+ $*"
  "$@"
}

for step in "${steps[@]}"; do
  case $step in
    configure)
      run cmake --preset "$preset"
      ;;
    build)
      run cmake --build --preset "$preset"
      ;;
    test)
      has_test_preset "$preset" || die "preset '$preset' has no tests to run (build only)"
      runner=()
      case $preset in
        *tsan*)
          # ThreadSanitizer in GCC 12 maps its shadow memory at fixed
          # addresses; with the larger mmap randomisation of newer kernels
          # (vm.mmap_rnd_bits above 28) a binary can die at start-up with
          # "unexpected memory mapping". Running without ASLR avoids that
          # wherever the personality call is allowed.
          if setarch "$(uname -m)" -R true 2>/dev/null; then
            runner=(setarch "$(uname -m)" -R)
          else
            echo "build.sh: setarch -R not permitted here; running TSan tests with ASLR on" >&2
          fi
          ;;
        windows-*)
          # Make the wine prefix now, in one process, instead of inside the
          # first tests ctest starts in parallel (which would wait on its
          # lock and count the seconds against their timeouts).
          run cmake/wine-run.sh --init "build/$preset"
          ;;
      esac
      run "${runner[@]}" ctest --preset "$preset" "${ctest_args[@]}"
      ;;
  esac
done
