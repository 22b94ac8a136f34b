#!/usr/bin/env bash
# Makes the Windows release: Valbrix.exe for 32-bit and 64-bit Windows, the help files when there are
# any and a short read-me in English and German, as a zip, as an installer and as an MSI package for
# deployment tools.
#
#   scripts/release-windows.sh [--help-files FOLDER] [--preset-settings VALBRIX_INI]
#
# Writes build/release/Valbrix-<version>-windows.zip (folders x86 and x64, each with Valbrix.exe and
# the help files, README.txt in English and LIESMICH.txt in German),
# build/release/Valbrix-<version>-setup.exe (NSIS, German and English: installs the program of the
# running Windows for all users under Program Files, with a Start menu entry and an uninstaller, and
# ends a running Valbrix before replacing it) and build/release/Valbrix-<version>-x64.msi (the same
# files for 64-bit Windows; with --preset-settings it also installs that Valbrix.ini beside the
# program, which every user's first start reads).
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
preset_settings=
while [[ $# -gt 0 ]]; do
  case $1 in
    --help-files) [[ $# -ge 2 ]] || die "--help-files needs a folder"; help_folder=$2; shift ;;
    --preset-settings)
      [[ $# -ge 2 && -f $2 ]] || die "--preset-settings needs a Valbrix.ini that exists"
      preset_settings=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift ;;
    -h|--help) sed -n '2,19p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
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
msi=Valbrix-$version-x64.msi
rm -rf "$stage" "$out/$name.zip" "$out/Valbrix-$version-setup.exe" "$out/$msi"
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

# wixl takes the files by paths relative to where it runs, so it runs in the stage.
msi_options=(-a x64 -D Version="$version" -D Stage=.)
[[ ${#missing[@]} -eq 0 ]] && msi_options+=(-D WithHelp=1)
if [[ -n $preset_settings ]]; then
  cp "$preset_settings" "$stage/preset.ini"
  msi_options+=(-D PresetSettings=preset.ini)
fi
(cd "$stage" && wixl "${msi_options[@]}" -o "../$msi" "$root/packaging/windows/valbrix.wxs")

echo
echo "release-windows.sh: made"
ls -l "$out/$name.zip" "$out/Valbrix-$version-setup.exe" "$out/$msi" | sed 's/^/  /'
echo "  Valbrix.exe: $(stat -c %s "$stage/x86/Valbrix.exe") bytes (x86), $(stat -c %s "$stage/x64/Valbrix.exe") bytes (x64)"
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "release-windows.sh: without ${missing[*]}: not in $help_folder" \
    "(without --help-files the release builds them itself)"
fi
