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

# ccache, when installed, makes a build in a fresh build dir or a fresh clone
# in another folder (as CI does it) cheap after the first one. BASEDIR and
# NOHASHDIR let objects be shared between checkouts at different paths; the
# price is that __FILE__ and debug info may name the first checkout's path.
# VALBRIX_CCACHE=0 turns it off. The launcher only takes effect when a build
# dir is configured for the first time.
if [[ "${VALBRIX_CCACHE:-1}" != 0 ]] && command -v ccache >/dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
fi

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
      if grep -q '^VALBRIX_SANITIZE:[A-Z]*=.' "build/$preset/CMakeCache.txt" 2>/dev/null; then
        # GCC 12's sanitizers put their shadow memory at fixed addresses. With
        # the larger mmap randomisation of newer kernels (vm.mmap_rnd_bits 32
        # instead of 28) TSan binaries die with "unexpected memory mapping"
        # and ASan ones spin forever printing DEADLYSIGNAL. Without ASLR both
        # run, so the tests go under setarch -R wherever that is allowed.
        if setarch "$(uname -m)" -R true 2>/dev/null; then
          runner=(setarch "$(uname -m)" -R)
        else
          echo "build.sh: setarch -R not permitted here; sanitizer tests run with ASLR on" >&2
        fi
      fi
      if [[ $preset == windows-* ]]; then
        # Make the wine prefix now, in one process, instead of inside the
        # first tests ctest starts in parallel (which would wait on its lock
        # and count the seconds against their timeouts).
        run cmake/wine-run.sh --init "build/$preset"
      fi
      run "${runner[@]}" ctest --preset "$preset" "${ctest_args[@]}"
      ;;
  esac
done
