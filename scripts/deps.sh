#!/usr/bin/env bash
# Installs the Debian packages that parts of the build need, and only when one
# is missing, so a second run costs a few dpkg-query calls and no network.
#
#   scripts/deps.sh [group...]        default group: build
#   scripts/deps.sh --list            show the groups and their packages
#
# As root it runs apt-get itself; otherwise through sudo when there is one,
# else it prints the apt-get command and fails.
set -euo pipefail

# One line per group: name | what it is for | packages.
# Adding a group is adding a line.
GROUPS_TABLE=(
  "build|compile the Linux builds and run their unit tests|g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev ccache"
  "windows|cross-compile the Windows builds and run the 64-bit tests under wine (with its fonts, for the dialogs)|g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine fonts-wine"
  "x11|type through the X server and run the typing tests on a virtual X server with a tray|libx11-dev libxtst-dev xvfb x11-xkb-utils xkb-data trayer"
  "fuzz|build the libFuzzer targets with clang and run them briefly|clang libclang-rt-14-dev"
  "qt|build the desktop program and run its smoke test (screenshots with xwd and netpbm)|qt6-base-dev fonts-liberation x11-utils x11-apps netpbm"
  "manual|compile the user manual into HTML Help files (chmcmd) and open them with a CHM reader|fp-utils libchm-bin"
  "wayland|type on Wayland desktops (keymaps, virtual keyboard, uinput) and run the end-to-end test in a headless sway|libxkbcommon-dev libwayland-dev libwayland-bin qt6-wayland sway dbus-daemon dpkg-dev"
  "release|make the Windows release zip and its installer|nsis zip"
)

die() { echo "deps.sh: $*" >&2; exit 1; }

group_line() {
  local g=$1 line
  for line in "${GROUPS_TABLE[@]}"; do
    [[ "${line%%|*}" == "$g" ]] && { echo "$line"; return 0; }
  done
  return 1
}

if [[ "${1:-}" == "--list" ]]; then
  for line in "${GROUPS_TABLE[@]}"; do
    IFS='|' read -r name why pkgs <<<"$line"
    printf '%-10s %s\n           packages: %s\n' "$name" "$why" "${pkgs:-(none)}"
  done
  exit 0
fi

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
