#!/usr/bin/env bash
# The installer's script and the MSI package under wine64, each in a fresh prefix, on the virtual X
# server the test runs on (with-xvfb.sh). The setup, made as a 64-bit installer around the 64-bit
# program, installs silently for all users under Program Files, with its Start menu entry and its
# entry among the installed programs; installed again while Valbrix runs, it asks the program to
# end (which saves its settings) before replacing it; its uninstaller ends a running Valbrix the same
# way and takes all of it away again. The MSI installs the same files with a preset Valbrix.ini,
# replaces itself over a running Valbrix, and is removed again.
#
#   installer_test.sh VALBRIX_EXE WINE_RUN PACKAGING_FOLDER
set -euo pipefail
program=$1
wine_run=$2
packaging=$3
version=1.8.6

fail() { echo "installer_test.sh: $*" >&2; exit 1; }
command -v makensis >/dev/null || fail "makensis is missing: scripts/deps.sh release"
command -v wixl >/dev/null || fail "wixl is missing: scripts/deps.sh release"
[[ -n ${DISPLAY:-} ]] || fail "no DISPLAY: run it through with-xvfb.sh"

work=$(mktemp -d /tmp/valbrix-installer-XXXXXX)
export VALBRIX_WINEPREFIX=$work/prefix
trap 'WINEPREFIX=$VALBRIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# The 32-bit program cannot run here, and a 64-bit installer never installs it: the 64-bit one
# stands in for it. Files stand in for the help files.
stage=$work/stage
mkdir -p "$stage/x86" "$stage/x64" "$stage/help"
cp "$program" "$stage/x64/Valbrix.exe"
cp "$program" "$stage/x86/Valbrix.exe"
for readme in README.txt LIESMICH.txt; do sed "s/@VERSION@/$version/g" "$packaging/$readme" >"$stage/$readme"; done
echo "help" >"$stage/help/VALBRIXHELP_EN.chm"
echo "Hilfe" >"$stage/help/VALBRIXHELP_DE.chm"
makensis -V1 -DTARGET_AMD64 -DWITH_HELP -DVERSION=$version -DSTAGE="$stage" -DOUTFILE="$work/Valbrix-$version-setup.exe" "$packaging/valbrix.nsi"

echo "[Settings]" >"$stage/preset.ini"
echo "Language=1" >>"$stage/preset.ini"
(cd "$stage" && wixl -a x64 -D Version=$version -D Stage=. -D WithHelp=1 -D PresetSettings=preset.ini \
  -o "$work/Valbrix-$version.msi" "$packaging/valbrix.wxs")
# The next version, as an upgrade brings it.
(cd "$stage" && wixl -a x64 -D Version=1.8.7 -D Stage=. -D WithHelp=1 -D PresetSettings=preset.ini \
  -o "$work/Valbrix-1.8.7.msi" "$packaging/valbrix.wxs")

wine() { WINEPREFIX=$VALBRIX_WINEPREFIX "$wine_run" "$@"; }
settle() { WINEPREFIX=$VALBRIX_WINEPREFIX /usr/lib/wine/wineserver -w; }
fresh_prefix() {
  if [[ -d ${VALBRIX_WINEPREFIX:-/nonexistent} ]]; then
    WINEPREFIX=$VALBRIX_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$VALBRIX_WINEPREFIX"
  fi
  export VALBRIX_WINEPREFIX=$work/$1
  "$wine_run" --init "$work"
  folder="$VALBRIX_WINEPREFIX/drive_c/Program Files/Valbrix"
  link="$VALBRIX_WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Valbrix.lnk"
  settings=$(echo "$VALBRIX_WINEPREFIX"/drive_c/users/*/AppData/Local)/Oden_Malvert/Valbrix/Valbrix.ini
}
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Valbrix'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# Starts the installed program and waits until its window is on the screen: under load a process is
# running some time before it has a window that an installer could ask to close.
start_valbrix() {
  touch "$work/started"
  sleep 1  # file times here count whole seconds
  # Straight to wine's loader: wine-run.sh would end the whole wine session, installer and all, when
  # a program with a display ends.
  WINEPREFIX=$VALBRIX_WINEPREFIX WINEDEBUG=-all /usr/lib/wine/wine64 "$folder/Valbrix.exe" &
  running=$!
  for _ in $(seq 3000); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Valbrix": ("valbrix.exe"' && return 0
    kill -0 $running 2>/dev/null || fail "Valbrix.exe ended at start"
    sleep 0.1
  done
  fail "Valbrix.exe showed no window within five minutes"
}
# The program must have ended by itself, through its own way out (status 0, its settings saved), not
# have been killed. The uninstaller removes a Valbrix.ini from the program's folder with the rest.
ended_by_itself() {
  local what=$1
  for _ in $(seq 300); do
    kill -0 $running 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 $running 2>/dev/null; then kill $running; fail "$what: the running Valbrix was not ended"; fi
  wait $running || fail "$what: Valbrix.exe ended with $?"
}
ended_and_saved() {
  ended_by_itself "$1"
  # Wine lets the program write its own folder, which Windows does not: its settings are saved there.
  [[ $settings -nt $work/started || $folder/Valbrix.ini -nt $work/started ]] ||
    fail "$1: Valbrix ended without saving its settings"
}

# --- the setup program -------------------------------------------------------------------------
fresh_prefix nsis
wine "$work/Valbrix-$version-setup.exe" /S
settle
for file in Valbrix.exe README.txt LIESMICH.txt VALBRIXHELP_DE.chm VALBRIXHELP_EN.chm Uninstall.exe; do
  [[ -f "$folder/$file" ]] || fail "not installed: $file"
done
cmp -s "$program" "$folder/Valbrix.exe" || fail "Valbrix.exe under Program Files is not the 64-bit program"
[[ -f $link ]] || fail "no Start menu entry for all users"
listed=$(wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
for value in "DisplayName    REG_SZ    Valbrix" "DisplayVersion    REG_SZ    $version" \
             "UninstallString    REG_SZ    \"C:\\Program Files\\Valbrix\\Uninstall.exe\""; do
  grep -qF "$value" <<<"$listed" || fail "not among the installed programs: $value (found: $listed)"
done
if wine reg query "$run_key" /v Valbrix >/dev/null 2>&1; then fail "started with Windows without being asked"; fi

# An upgrade over the running program, which also asks to start it with Windows.
start_valbrix
echo "newer" >>"$stage/README.txt"
makensis -V1 -DTARGET_AMD64 -DWITH_HELP -DVERSION=$version -DSTAGE="$stage" -DOUTFILE="$work/Valbrix-$version-setup.exe" "$packaging/valbrix.nsi"
wine "$work/Valbrix-$version-setup.exe" /S /AUTOSTART
ended_and_saved "upgrade"
settle
grep -q newer "$folder/README.txt" || fail "upgrade: the files were not replaced"
wine reg query "$run_key" /v Valbrix 2>/dev/null | tr -d '\r' | grep -qF 'C:\Program Files\Valbrix\Valbrix.exe' ||
  fail "upgrade: /AUTOSTART did not start Valbrix with Windows"

start_valbrix
wine "$folder/Uninstall.exe" /S
ended_by_itself "uninstall"
settle
[[ ! -e $folder ]] || fail "left behind: $(ls "$folder")"
[[ ! -e $link ]] || fail "the Start menu entry is left behind"
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then fail "still among the installed programs"; fi
if wine reg query "$run_key" /v Valbrix >/dev/null 2>&1; then fail "still started with Windows"; fi
echo "installer_test.sh: the setup installed, upgraded over a running Valbrix and removed again"

# --- the MSI package ----------------------------------------------------------------------------
fresh_prefix msi
msi='C:\valbrix.msi'
cp "$work/Valbrix-$version.msi" "$VALBRIX_WINEPREFIX/drive_c/valbrix.msi"
wine msiexec /i "$msi" /qn || fail "msiexec /i ended with $?"
settle
for file in Valbrix.exe README.txt LIESMICH.txt VALBRIXHELP_DE.chm VALBRIXHELP_EN.chm Valbrix.ini; do
  [[ -f "$folder/$file" ]] || fail "msi: not installed: $file"
done
cmp -s "$program" "$folder/Valbrix.exe" || fail "msi: Valbrix.exe is not the 64-bit program"
cmp -s "$stage/preset.ini" "$folder/Valbrix.ini" || fail "msi: the preset Valbrix.ini is not installed as given"
# Wine's installer service puts the Start menu entry of a package for all users into the menu of the
# user who installs it; Windows puts it into the all-users menu when ALLUSERS is 1, which the package
# says.
grep -q "^ALLUSERS[[:space:]]1" <<<"$(msiinfo export "$work/Valbrix-$version.msi" Property)" || fail "msi: not a package for all users"
user_links() { compgen -G "$VALBRIX_WINEPREFIX/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Valbrix.lnk" || true; }
[[ -f $link || -n $(user_links) ]] || fail "msi: no Start menu entry"

# The upgrade replaces the preset in the program's folder, where wine let the program save: that it
# ended by itself is what is checked here.
start_valbrix
cp "$work/Valbrix-1.8.7.msi" "$VALBRIX_WINEPREFIX/drive_c/valbrix-1.8.7.msi"
wine msiexec /i 'C:\valbrix-1.8.7.msi' /qn || fail "msi: the upgrade ended with $?"
ended_by_itself "msi upgrade over a running Valbrix"
settle
[[ -f "$folder/Valbrix.exe" ]] || fail "msi: Valbrix.exe missing after the upgrade"
wine msiexec /x 'C:\valbrix-1.8.7.msi' /qn || fail "msiexec /x ended with $?"
settle
[[ ! -e "$folder/Valbrix.exe" ]] || fail "msi: Valbrix.exe is left behind"
[[ ! -e $link && -z $(user_links) ]] || fail "msi: the Start menu entry is left behind"
echo "installer_test.sh: the MSI installed with its preset settings, replaced itself over a running Valbrix and was removed again"
