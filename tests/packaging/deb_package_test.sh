#!/usr/bin/env bash
# The .deb of the desktop program, packed from a build folder: what it installs, what it depends on,
# and that its programs come without their debug information.
#
#   deb_package_test.sh <build folder>
set -euo pipefail
build=$1

fail() { echo "deb_package_test: $*" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack failed"; }
deb=$(ls "$out"/*.deb)

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/valbrix ./usr/bin/gaugesim ./usr/lib/udev/rules.d/70-valbrix-uinput.rules \
            ./usr/share/applications/valbrix.desktop; do
  grep -q " $path\$" <<<"$contents" || fail "$path is not in the package"
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6widgets6 libqt6dbus6 libxtst6 libxkbcommon0 libwayland-client0 qt6-wayland; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$out/root"
for program in valbrix gaugesim; do
  if readelf -S "$out/root/usr/bin/$program" | grep -q '\.debug_info'; then fail "$program is not stripped"; fi
done
grep -q 'TAG+="uaccess"' "$out/root/usr/lib/udev/rules.d/70-valbrix-uinput.rules" || fail "the udev rule grants nothing"
dpkg-deb -e "$deb" "$out/control"
[[ -x $out/control/postinst ]] || fail "no postinst to apply the udev rule"
echo "deb_package_test: $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends"
