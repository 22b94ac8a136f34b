#!/usr/bin/env bash
# The installer's script under wine64, in a fresh prefix: made as a 64-bit installer around the
# 64-bit program, it installs silently for all users under Program Files, with its Start menu entry
# and its entry among the installed programs, and its uninstaller takes all of that away again.
#
#   installer_test.sh VALBRIX_EXE WINE_RUN PACKAGING_FOLDER
set -euo pipefail
program=$1
wine_run=$2
packaging=$3
version=1.8.6

fail() { echo "installer_test.sh: $*" >&2; exit 1; }
command -v makensis >/dev/null || fail "makensis is missing: scripts/deps.sh release"

work=$(mktemp -d /tmp/valbrix-installer-XXXXXX)
export VALBRIX_WINEPREFIX=$work/prefix
trap 'WINEPREFIX=$VALBRIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# The 32-bit program cannot run here, and a 64-bit installer never installs it: the 64-bit one
# stands in for it. A file stands in for a help file.
stage=$work/stage
mkdir -p "$stage/x86" "$stage/x64" "$stage/help"
cp "$program" "$stage/x64/Valbrix.exe"
cp "$program" "$stage/x86/Valbrix.exe"
sed "s/@VERSION@/$version/g" "$packaging/README.txt" >"$stage/README.txt"
echo "help" >"$stage/help/VALBRIXHELP_EN.chm"
makensis -V1 -DTARGET_AMD64 -DWITH_HELP -DVERSION=$version -DSTAGE="$stage" -DOUTFILE="$work/Valbrix-$version-setup.exe" "$packaging/valbrix.nsi"

"$wine_run" --init "$work"
wine() { WINEPREFIX=$VALBRIX_WINEPREFIX "$wine_run" "$@"; }
settle() { WINEPREFIX=$VALBRIX_WINEPREFIX /usr/lib/wine/wineserver -w; }
folder="$VALBRIX_WINEPREFIX/drive_c/Program Files/Valbrix"
link="$VALBRIX_WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Valbrix.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Valbrix'

wine "$work/Valbrix-$version-setup.exe" /S
settle
for file in Valbrix.exe README.txt VALBRIXHELP_EN.chm Uninstall.exe; do
  [[ -f "$folder/$file" ]] || fail "not installed: $file"
done
cmp -s "$program" "$folder/Valbrix.exe" || fail "Valbrix.exe under Program Files is not the 64-bit program"
[[ -f $link ]] || fail "no Start menu entry for all users"
listed=$(wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
for value in "DisplayName    REG_SZ    Valbrix" "DisplayVersion    REG_SZ    $version" \
             "UninstallString    REG_SZ    \"C:\\Program Files\\Valbrix\\Uninstall.exe\""; do
  grep -qF "$value" <<<"$listed" || fail "not among the installed programs: $value (found: $listed)"
done

wine "$folder/Uninstall.exe" /S
settle
[[ ! -e $folder ]] || fail "left behind: $(ls "$folder")"
[[ ! -e $link ]] || fail "the Start menu entry is left behind"
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then fail "still among the installed programs"; fi
echo "installer_test.sh: installed and removed again"
