#!/usr/bin/env bash
# Installs the Debian packages that parts of the build need, and only when one
# is missing, so a second run costs a few dpkg-query calls and no network.
#
#   scripts/deps.sh [group...]              default group: build
#   scripts/deps.sh --for PURPOSE           the groups PURPOSE needs (see PURPOSES_TABLE)
#   scripts/deps.sh --list                  show the groups and their packages, and the purposes
#   scripts/deps.sh --purposes              the purposes' names, one a line
#   scripts/deps.sh --packages-for PURPOSE  "group package" lines of PURPOSE, installing nothing
#
# As root it runs apt-get itself; otherwise through sudo when there is one,
# else it prints the apt-get command and fails.
set -euo pipefail

# One line per group: name | what it is for | packages.
# Adding a group is adding a line.
GROUPS_TABLE=(
  "build|compile the Linux builds and run their unit tests|g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev ccache"
  "windows|cross-compile the Windows builds and run the 64-bit tests under wine (with its fonts, for the dialogs)|g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine fonts-wine"
  "x11|type through the X server and run the typing tests on a virtual X server with a tray|libx11-dev libxtst-dev libxss-dev python3-dbus python3-gi xvfb x11-xkb-utils xkb-data trayer"
  "fuzz|build the libFuzzer targets with clang and run them briefly|clang libclang-rt-14-dev"
  "qt|build the desktop program and run its smoke test (screenshots with xwd and netpbm)|qt6-base-dev fonts-liberation x11-utils x11-apps netpbm"
  "manual|compile the user manual into HTML Help files (chmcmd) and open them with a CHM reader|fp-utils libchm-bin"
  "wayland|type on Wayland desktops (keymaps, virtual keyboard, uinput) and run the end-to-end test in a headless sway|libxkbcommon-dev libwayland-dev libwayland-bin qt6-wayland sway dbus-daemon dpkg-dev"
  "release|make the Windows release zip, its installer and the MSI package (msiinfo reads it back in the tests)|nsis zip wixl msitools"
  "calc|type into LibreOffice Calc on a virtual X server with a window manager and read its cells back|libreoffice-calc python3-uno openbox xdotool x11-utils"
)

# One line per purpose: name | what it is for | groups. The scripts install by purpose, so that the
# groups a job needs are written once. Every purpose here configures the linux preset, and
# scripts/check-deps.sh (run by scripts/test-all.sh) fails when one lacks a group that configure
# needs; a job that does not configure it (the Windows release) names its groups itself.
PURPOSES_TABLE=(
  "demo|build the linux preset's programs and run the demo on a virtual X server (scripts/run-demo.sh)|build x11 wayland qt"
  "manual|build the user manual and its help files in the linux preset (scripts/build-manual.sh)|build x11 wayland qt manual"
  "test-all|every build and test of scripts/test-all.sh, as CI runs them|build windows x11 fuzz qt manual wayland release calc"
)

die() { echo "deps.sh: $*" >&2; exit 1; }

# table_line <name> <line...>: the line whose first field is <name>.
table_line() {
  local name=$1 line
  shift
  for line in "$@"; do
    [[ "${line%%|*}" == "$name" ]] && { echo "$line"; return 0; }
  done
  return 1
}

group_line() { table_line "$1" "${GROUPS_TABLE[@]}"; }

# Sets purpose_groups to the groups of purpose $1.
read_purpose_groups() {
  local line
  line=$(table_line "$1" "${PURPOSES_TABLE[@]}") ||
    die "unknown purpose '$1' (known: $(printf '%s ' "${PURPOSES_TABLE[@]%%|*}"))"
  read -ra purpose_groups <<<"${line##*|}"
}

case ${1:-} in
  --list)
    for line in "${GROUPS_TABLE[@]}"; do
      IFS='|' read -r name why pkgs <<<"$line"
      printf '%-10s %s\n           packages: %s\n' "$name" "$why" "${pkgs:-(none)}"
    done
    echo
    for line in "${PURPOSES_TABLE[@]}"; do
      IFS='|' read -r name why groups <<<"$line"
      printf -- '--for %-8s %s\n               groups: %s\n' "$name" "$why" "$groups"
    done
    exit 0
    ;;
  --purposes)
    printf '%s\n' "${PURPOSES_TABLE[@]%%|*}"
    exit 0
    ;;
  --packages-for)
    [[ $# -eq 2 ]] || die "usage: scripts/deps.sh --packages-for PURPOSE"
    read_purpose_groups "$2"
    for group in "${purpose_groups[@]}"; do
      line=$(group_line "$group") || die "purpose '$2' names the unknown group '$group'"
      for pkg in ${line##*|}; do echo "$group $pkg"; done
    done
    exit 0
    ;;
  --for)
    [[ $# -eq 2 ]] || die "usage: scripts/deps.sh --for PURPOSE"
    read_purpose_groups "$2"
    set -- "${purpose_groups[@]}"
    ;;
esac

[[ $# -gt 0 ]] || set -- build

missing=()
reasons=()
for group in "$@"; do
  line=$(group_line "$group") ||
    die "unknown group '$group' (known: $(printf '%s ' "${GROUPS_TABLE[@]%%|*}"))"
  IFS='|' read -r _ why pkgs <<<"$line"
  group_missing=()
  for pkg in $pkgs; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      group_missing+=("$pkg")
    fi
  done
  if [[ ${#group_missing[@]} -gt 0 ]]; then
    missing+=("${group_missing[@]}")
    reasons+=("  $group: ${group_missing[*]}  (to $why)")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "deps.sh: everything for '$*' is installed"
  exit 0
fi

# Drop duplicates between groups, keeping the order.
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | awk '!seen[$0]++')

echo "deps.sh: installing ${#missing[@]} Debian package(s):"
printf '%s\n' "${reasons[@]}"

if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "deps.sh: not root and no sudo; as root, run:" >&2
  echo "  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "deps.sh: done"
