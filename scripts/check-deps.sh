#!/usr/bin/env bash
# Fails when a purpose of scripts/deps.sh (demo, manual, test-all) lacks a Debian package that
# configuring the linux preset needs. Such a gap shows only on a fresh machine, as when the demo
# stopped at configure for want of the wayland group; here, where everything is installed, it
# would never show by itself.
#
#   scripts/check-deps.sh
#
# What the configure looks for comes from CMake itself: a configure of the linux preset in a scratch
# folder with --trace lists every find_package, pkg_check_modules and find_program our CMake files
# run on that way, whatever their layout and conditions. Which Debian packages provide each is the
# small map below, and a call the map does not know fails the check, so the map keeps up with the
# CMake files. Asking dpkg -S for the package of each found file would need no map, but it names the
# package holding the file, often a dependency of the one a group installs (pkgconf for pkg-config,
# Qt's module packages for qt6-base-dev), and would need the dependency tree to judge.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# What the configure looks for | the Debian packages that provide it. "-" for nothing to install:
# the C library's threads, and chmcmd, without which the configure goes on and leaves the help
# files out.
PROVIDERS=(
  "package GTest|libgtest-dev libgmock-dev"
  "package Threads|-"
  "package X11|libx11-dev libxtst-dev"
  "package PkgConfig|pkg-config"
  "module xkbcommon|libxkbcommon-dev"
  "module wayland-client|libwayland-dev"
  "program wayland-scanner|libwayland-bin"
  "package Qt6|qt6-base-dev"
  "program chmcmd|-"
)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/valbrix-check-deps.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

if ! cmake --preset linux -B "$scratch/build" --trace-redirect="$scratch/trace" >"$scratch/configure.log" 2>&1; then
  tail -n 20 "$scratch/configure.log"
  echo "check-deps: the linux preset does not configure here" >&2
  exit 1
fi

# "kind name place" for each look-up in our own files: package (find_package), module (a
# pkg-config module) or program (find_program).
mapfile -t wanted < <(awk -v root="$root/" '
  index($0, root) != 1 { next }
  {
    place = substr($0, length(root) + 1)
    sub(/\):.*/, "", place)
    sub(/\(/, ":", place)
    call = $0
    sub(/^[^:]*\): +/, "", call)
    cmd = tolower(call)
    sub(/\(.*/, "", cmd)
    if (cmd != "find_package" && cmd != "find_program" && cmd != "pkg_check_modules" && cmd != "pkg_search_module") next
    sub(/^[^(]*\(/, "", call)
    sub(/\)[^)]*$/, "", call)
    n = split(call, args, " ")
    if (cmd == "find_package") { print "package", args[1], place; next }
    if (cmd == "find_program") { print "program", (args[2] == "NAMES" ? args[3] : args[2]), place; next }
    # pkg_check_modules(PREFIX [OPTIONS] module...): the modules are the words in lower case, each
    # perhaps with a version after it.
    for (i = 2; i <= n; ++i) {
      if (args[i] ~ /^[A-Z_]+$/) continue
      module = args[i]
      sub(/[<>=].*/, "", module)
      print "module", module, place
    }
  }' "$scratch/trace" | sort -u -k1,2)
[[ ${#wanted[@]} -gt 0 ]] || { echo "check-deps: the trace shows no look-ups; has its format changed?" >&2; exit 1; }

providers_of() {
  local line
  for line in "${PROVIDERS[@]}"; do
    [[ "${line%%|*}" == "$1" ]] && { echo "${line##*|}"; return 0; }
  done
  return 1
}

# "package kind name place" for each package a look-up needs.
needs=()
failures=0
for entry in "${wanted[@]}"; do
  read -r kind name place <<<"$entry"
  if ! packages=$(providers_of "$kind $name"); then
    echo "check-deps: $place looks for the $kind $name, which the map in scripts/check-deps.sh does not know" >&2
    failures=$((failures + 1))
    continue
  fi
  for package in $packages; do
    [[ $package == - ]] || needs+=("$package $kind $name $place")
  done
done

purposes=$(bash scripts/deps.sh --purposes)
for purpose in $purposes; do
  listing=$(bash scripts/deps.sh --packages-for "$purpose")
  lacking=0
  for need in "${needs[@]}"; do
    read -r package kind name place <<<"$need"
    if ! grep -qx "[^ ]* $package" <<<"$listing"; then
      echo "check-deps: --for $purpose lacks $package, which provides the $kind $name ($place)" >&2
      lacking=$((lacking + 1))
    fi
  done
  if [[ $lacking -eq 0 ]]; then
    groups=$(awk '{ print $1 }' <<<"$listing" | uniq | paste -sd ' ')
    echo "check-deps: --for $purpose ($groups) has the ${#needs[@]} packages the linux configure looks for"
  else
    failures=$((failures + 1))
  fi
done

[[ $failures -eq 0 ]]
