#!/usr/bin/env bash
# Makes the Windows release: Valbrix.exe for 32-bit and 64-bit Windows, the help files when there are
# any and a short read-me in English and German, as a zip and as an installer.
#
#   scripts/release-windows.sh [--help-files FOLDER]
#
# Writes build/release/Valbrix-<version>-windows.zip (folders x86 and x64, each with Valbrix.exe and
# the help files, README.txt in English and LIESMICH.txt in German) and build/release/Valbrix-<version>-setup.exe (NSIS: installs the
# program of the running Windows for all users under Program Files, with a Start menu entry and an
# uninstaller).
#
# The help files VALBRIXHELP_DE.chm and VALBRIXHELP_EN.chm are built from the manual first, by
# `bash scripts/build-manual.sh`, which puts them in build/manual. With --help-files (or
# VALBRIX_HELP_FILES) they are taken from FOLDER instead, as they are; the release then goes out
# without the ones that are missing, which is said at the end.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

die() { echo "release-windows.sh: $*" >&2; exit 2; }

help_folder=${VALBRIX_HELP_FILES:-}
while [[ $# -gt 0 ]]; do
  case $1 in
    --help-files) [[ $# -ge 2 ]] || die "--help-files needs a folder"; help_folder=$2; shift ;;
    -h|--help) sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) die "unknown argument '$1' (see --help)" ;;
  esac
  shift
done

if [[ -z $help_folder ]]; then
  bash scripts/build-manual.sh
  help_folder=build/manual
fi

version=$(sed -n 's/^project(Valbrix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || die "no version in CMakeLists.txt"

bash scripts/deps.sh build windows release

# The presets' builds, the program only; the release copies are stripped of their debug information.
for preset in windows-x86 windows-x64; do
  bash scripts/build.sh "$preset" configure
  cmake --build "build/$preset" --target Valbrix
done

out=build/release
name=Valbrix-$version-windows
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/Valbrix-$version-setup.exe"
mkdir -p "$stage/x86" "$stage/x64" "$stage/help"
i686-w64-mingw32-strip -o "$stage/x86/Valbrix.exe" build/windows-x86/src/win32/Valbrix.exe
x86_64-w64-mingw32-strip -o "$stage/x64/Valbrix.exe" build/windows-x64/src/win32/Valbrix.exe
# The read-me files in English and German, with Windows line ends; `valbrix-manual check` holds them to
# the manual and the program (`valbrix-manual readme` writes them anew).
for readme in README.txt LIESMICH.txt; do
  sed "s/@VERSION@/$version/g; s/\$/\r/" "packaging/windows/$readme" >"$stage/$readme"
done

missing=()
for help in VALBRIXHELP_DE.chm VALBRIXHELP_EN.chm; do
  if [[ -f $help_folder/$help ]]; then
    cp "$help_folder/$help" "$stage/help/"
    cp "$help_folder/$help" "$stage/x86/"
    cp "$help_folder/$help" "$stage/x64/"
  else
    missing+=("$help")
  fi
done

# The zip holds the two program folders and the read-me files; the installer takes the help from help/.
(cd "$out" && zip -q -r -X "$name.zip" "$name/x86" "$name/x64" "$name/README.txt" "$name/LIESMICH.txt")
with_help=()
[[ ${#missing[@]} -lt 2 ]] && with_help=(-DWITH_HELP)
makensis -V2 -DVERSION="$version" -DSTAGE="$(cd "$stage" && pwd)" "${with_help[@]}" \
  -DOUTFILE="$(cd "$out" && pwd)/Valbrix-$version-setup.exe" packaging/windows/valbrix.nsi

echo
echo "release-windows.sh: made"
ls -l "$out/$name.zip" "$out/Valbrix-$version-setup.exe" | sed 's/^/  /'
echo "  Valbrix.exe: $(stat -c %s "$stage/x86/Valbrix.exe") bytes (x86), $(stat -c %s "$stage/x64/Valbrix.exe") bytes (x64)"
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "release-windows.sh: without ${missing[*]}: not in $help_folder" \
    "(without --help-files the release builds them itself)"
fi
