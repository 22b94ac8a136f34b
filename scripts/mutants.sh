#!/usr/bin/env bash
# The mutant check: puts one deliberate fault at a time into a scratch copy of the sources and runs
# the unit tests against it. A fault the tests notice is killed; one they miss has survived, and
# shows a rule that no test holds. The faults are listed in scripts/mutants.txt.
#
#   scripts/mutants.sh                 every mutant of the table (half an hour to an hour)
#   scripts/mutants.sh --quick         only those marked quick (what scripts/test-all.sh runs)
#   scripts/mutants.sh --only WORDS    only those whose name contains WORDS
#   scripts/mutants.sh --list          print the table's mutants and stop
#
# The copy lives in build/mutants/tree and is brought up to date with the worktree (committed or
# not) at every start, so only what changed since the last run is rebuilt. Each mutant rebuilds
# the unit tests of its preset (linux unless the table says otherwise; windows-x64 runs them under
# wine) and runs them, or, where the table names a test of the build, builds the whole preset and
# runs that test. Prints one line per mutant and a closing line "score: K of N killed"; the exit
# status is 0 only when every mutant was killed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
table=$root/scripts/mutants.txt
work=$root/build/mutants
tree=$work/tree
logs=$work/logs

die() { echo "mutants.sh: $*" >&2; exit 2; }

quick=0
only=
list=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --quick) quick=1 ;;
    --only) [[ $# -ge 2 ]] || die "--only needs a text"; only=$2; shift ;;
    --list) list=1 ;;
    *) die "unknown argument '$1' (--quick, --only WORDS, --list)" ;;
  esac
  shift
done

# --- the table -------------------------------------------------------------------------------
# Blocks of "key: value" lines; "mutant:" starts a block. "text:" and "change:" may repeat: their
# lines are joined by line ends, and each further line of the text matches whatever indentation
# the source has there. An empty change deletes the text.
names=() files=() texts=() changes=() presets=() tests=() quicks=()
current=-1
while IFS= read -r line || [[ -n $line ]]; do
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  [[ $line =~ ^([a-z]+):[[:space:]]*(.*[^[:space:]])?[[:space:]]*$ ]] || die "table: cannot read '$line'"
  key=${BASH_REMATCH[1]}
  value=${BASH_REMATCH[2]:-}
  if [[ $key == mutant ]]; then
    current=$((current + 1))
    names[current]=$value files[current]= texts[current]= changes[current]=
    presets[current]=linux tests[current]= quicks[current]=no
    continue
  fi
  [[ $current -ge 0 ]] || die "table: '$line' before the first mutant"
  case $key in
    file) files[current]=$value ;;
    text) texts[current]+=${texts[current]:+$'\n'}$value ;;
    change) changes[current]+=${changes[current]:+$'\n'}$value ;;
    preset) presets[current]=$value ;;
    test) tests[current]=$value ;;
    quick) quicks[current]=$value ;;
    *) die "table: unknown key '$key' in mutant '${names[current]}'" ;;
  esac
done <"$table"

selected=()
for i in "${!names[@]}"; do
  [[ -n ${files[i]} && -n ${texts[i]} ]] || die "table: mutant '${names[i]}' needs a file and a text"
  [[ $quick == 1 && ${quicks[i]} != yes ]] && continue
  [[ -n $only && ${names[i]} != *"$only"* ]] && continue
  selected+=("$i")
done
[[ ${#selected[@]} -gt 0 ]] || die "no mutant selected"

if [[ $list == 1 ]]; then
  for i in "${selected[@]}"; do
    printf '%-12s %-44s %s\n' "${presets[i]}${tests[i]:+/${tests[i]}}" "${files[i]}" "${names[i]}"
  done
  echo "${#selected[@]} mutants"
  exit 0
fi

# --- the scratch copy ------------------------------------------------------------------------
mkdir -p "$work" "$logs"
exec {lock_fd}>"$work/lock"
flock -n "$lock_fd" || die "another mutant run is using $work"

# Copies what differs from the worktree (with a fresh time, so the build sees it) and removes
# what the worktree no longer has.
sync_tree() {
  local list=$work/files f
  mkdir -p "$tree"
  git -C "$root" ls-files --cached --others --exclude-standard | sort -u >"$list"
  while IFS= read -r f; do
    [[ -f $root/$f ]] || continue
    if ! cmp -s "$root/$f" "$tree/$f"; then
      mkdir -p "$(dirname "$tree/$f")"
      cp "$root/$f" "$tree/$f"
    fi
  done <"$list"
  (cd "$tree" && find . -path ./build -prune -o -type f -print | sed 's|^\./||' | sort) |
    comm -23 - "$list" | while IFS= read -r f; do rm -f "$tree/$f"; done
}

# The objects of the copy may be shared with the worktree's own builds through ccache.
if [[ "${VALBRIX_CCACHE:-1}" != 0 ]] && command -v ccache >/dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=$tree
  export CCACHE_NOHASHDIR=true
fi

unit_tests() {
  case $1 in
    windows-*) echo "$tree/build/$1/tests/unit_tests.exe" ;;
    *) echo "$tree/build/$1/tests/unit_tests" ;;
  esac
}

# build_and_test <preset> <test> <log>: status 0 tests pass, 1 tests fail, 2 the build fails. With
# no test named, the unit tests are built and run.
build_and_test() {
  local preset=$1 test=$2 log=$3 runner=()
  [[ $preset == windows-* ]] && runner=("$tree/cmake/wine-run.sh")
  if [[ ! -f $tree/build/$preset/build.ninja ]]; then
    (cd "$tree" && cmake --preset "$preset") >>"$log" 2>&1 || return 2
  fi
  if [[ -n $test ]]; then
    cmake --build "$tree/build/$preset" >>"$log" 2>&1 || return 2
    ctest --test-dir "$tree/build/$preset" -R "^$test\$" --no-tests=error --output-on-failure \
      >>"$log" 2>&1 || return 1
    return 0
  fi
  cmake --build "$tree/build/$preset" --target unit_tests >>"$log" 2>&1 || return 2
  timeout 300 "${runner[@]}" "$(unit_tests "$preset")" --gtest_color=no >>"$log" 2>&1 || return 1
}

# apply <file> <text> <change>: puts the change in place of the one place the text names.
apply() {
  MUTANT_TEXT=$2 MUTANT_CHANGE=$3 perl -e '
    my $path = $ARGV[0];
    open(my $in, "<:raw", $path) or die "$path: $!\n";
    local $/;
    my $source = <$in>;
    close($in);
    my $pattern = join("\n[ \t]*", map { quotemeta } split(/\n/, $ENV{MUTANT_TEXT}));
    my @places;
    while ($source =~ /$pattern/g) { push(@places, [$-[0], $+[0]]); }
    if (@places != 1) { print STDERR "the text is found in " . scalar(@places) . " places\n"; exit 3; }
    substr($source, $places[0][0], $places[0][1] - $places[0][0]) = $ENV{MUTANT_CHANGE};
    open(my $out, ">:raw", $path) or die "$path: $!\n";
    print $out $source;
    close($out) or die "$path: $!\n";
  ' "$tree/$1"
}

# The mutated source goes back from a copy taken before the change, so edits made in the worktree
# while the run goes on reach the copy only at the next run.
mutated=
restore() {
  if [[ -n $mutated ]]; then
    cp "$work/original" "$tree/$mutated"
    mutated=
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

sync_tree

# The copy as it is must pass, or no mutant says anything: every preset with every test the
# selected mutants name ("preset/test", the unit tests when no test is named).
needed=()
for i in "${selected[@]}"; do
  suite=${presets[i]}/${tests[i]}
  [[ " ${needed[*]} " == *" $suite "* ]] || needed+=("$suite")
done
for suite in "${needed[@]}"; do
  preset=${suite%%/*} test=${suite#*/}
  log=$logs/unmutated-$preset${test:+-$test}.log
  : >"$log"
  echo "mutants.sh: building and testing the unmutated copy ($preset${test:+, $test})"
  status=0
  build_and_test "$preset" "$test" "$log" || status=$?
  [[ $status == 0 ]] || die "the unmutated copy does not pass ${test:-its unit tests} ($preset); see $log"
done

killed=0
survived=()
invalid=()
number=0
for i in "${selected[@]}"; do
  number=$((number + 1))
  log=$(printf '%s/%03d.log' "$logs" "$i")
  : >"$log"
  label="${names[i]}  (${files[i]})"
  if [[ ! -f $tree/${files[i]} ]]; then
    printf '%3d INVALID   %s: no such file\n' "$number" "$label"
    invalid+=("${names[i]}")
    continue
  fi
  cp "$tree/${files[i]}" "$work/original"
  mutated=${files[i]}
  if ! apply "${files[i]}" "${texts[i]}" "${changes[i]}" 2>>"$log"; then
    restore
    printf '%3d INVALID   %s: %s\n' "$number" "$label" "$(tail -n 1 "$log")"
    invalid+=("${names[i]}")
    continue
  fi
  status=0
  build_and_test "${presets[i]}" "${tests[i]}" "$log" || status=$?
  restore
  case $status in
    1) killed=$((killed + 1)); printf '%3d killed    %s\n' "$number" "$label" ;;
    0) survived+=("${names[i]}"); printf '%3d SURVIVED  %s\n' "$number" "$label" ;;
    *) invalid+=("${names[i]}"); printf '%3d INVALID   %s: does not build, see %s\n' "$number" "$label" "$log" ;;
  esac
done

# The copy goes back to the unmutated build, so the next run starts from sources it has built.
for suite in "${needed[@]}"; do
  preset=${suite%%/*} test=${suite#*/}
  targets=(--target unit_tests)
  [[ -n $test ]] && targets=()
  cmake --build "$tree/build/$preset" "${targets[@]}" >/dev/null 2>&1 || true
done

total=${#selected[@]}
echo
[[ ${#survived[@]} -gt 0 ]] && printf 'survived: %s\n' "${survived[@]}"
[[ ${#invalid[@]} -gt 0 ]] && printf 'invalid (fix the table): %s\n' "${invalid[@]}"
echo "score: $killed of $total killed"
[[ $killed == "$total" ]]
