#!/usr/bin/env bash
# The .deb of the desktop program, packed from a build folder: what it installs, what it depends on,
# that its programs come without their debug information, and that its uinput rule grants nobody
# anything until an administrator adds users to its group, which a purge takes away again.
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
for package in libc6 libstdc++6 libqt6widgets6 libqt6dbus6 libxtst6 libxkbcommon0 libwayland-client0 qt6-wayland \
               adduser; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$out/root"
for program in valbrix gaugesim; do
  if readelf -S "$out/root/usr/bin/$program" | grep -q '\.debug_info'; then fail "$program is not stripped"; fi
done
rule=$out/root/usr/lib/udev/rules.d/70-valbrix-uinput.rules
grep -q '^KERNEL=="uinput".*GROUP="valbrix-uinput", MODE="0660"' "$rule" || fail "the udev rule does not give uinput to its group"
if grep -q 'uaccess' "$rule"; then fail "the udev rule still gives uinput to the user at the seat"; fi
dpkg-deb -e "$deb" "$out/control"
for script in postinst postrm; do [[ -x $out/control/$script ]] || fail "no $script"; done

# The maintainer scripts run against stand-ins of the system's commands, which note how they were
# called; getent finds the group when the file "group" exists, stat names the node's group.
stubs=$out/stubs
mkdir -p "$stubs"
for command in getent addgroup delgroup groupdel udevadm setfacl stat chgrp chmod; do
  cat >"$stubs/$command" <<STUB
#!/bin/sh
echo "$command \$*" >>"$out/calls"
case $command in
  getent) [ -e "$out/group" ] ;;
  stat) cat "$out/node-group" 2>/dev/null ;;
esac
STUB
  chmod +x "$stubs/$command"
done
# run_script <script> <argument> <group exists: yes/no> <the node's group>: prints the calls it made.
run_script() {
  rm -f "$out/calls" "$out/group"
  [[ $3 == yes ]] && touch "$out/group"
  printf '%s\n' "$4" >"$out/node-group"
  PATH=$stubs:/usr/bin:/bin sh -e "$out/control/$1" "$2" || fail "$1 $2 failed"
  grep -v '^getent \|^stat ' "$out/calls" 2>/dev/null | paste -sd ';' || true
}
reload='udevadm control --reload-rules;udevadm trigger --action=change --sysname-match=uinput'
while IFS='|' read -r script argument exists node expected; do
  got=$(run_script "$script" "$argument" "$exists" "$node")
  [[ $got == "$expected" ]] || fail "$script $argument (group there: $exists, node's group $node): made the calls '$got', not '$expected'"
done <<EOF_ROWS
postinst|configure|no|root|addgroup --system valbrix-uinput;setfacl -b /dev/uinput;$reload
postinst|configure|yes|root|setfacl -b /dev/uinput;$reload
postinst|abort-upgrade|yes|root|
postrm|remove|yes|valbrix-uinput|$reload;chgrp root /dev/uinput;chmod 0600 /dev/uinput
postrm|remove|yes|root|$reload
postrm|purge|yes|root|$reload;delgroup --system valbrix-uinput
postrm|purge|no|root|$reload
postrm|upgrade|yes|valbrix-uinput|
EOF_ROWS
echo "deb_package_test: $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends"
