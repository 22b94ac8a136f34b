#!/usr/bin/env bash
# Runs a program from the Windows cross build under wine. CMake uses it as
# CMAKE_CROSSCOMPILING_EMULATOR, so CTest (and anything run at build time)
# goes through here.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run it; exit status is the program's
#   wine-run.sh --init [DIR]            only make sure the prefix exists
#
# The wine prefix lives in <build dir>/wineprefix, found by walking up from the
# program (or DIR) to the directory holding CMakeCache.txt, so wiping the build
# dir also wipes the prefix and no test ever touches ~/.wine.
# VALBRIX_WINEPREFIX overrides the location.
#
# Other knobs:
#   VALBRIX_WINEDEBUG     WINEDEBUG for the run (default -all: wine's own
#                         chatter would drown the test output)
#   VALBRIX_WINE_DISPLAY  X display to hand to wine; by default wine gets none,
#                         so results don't depend on whether a desktop is around.
#                         With a display, the wine session ends with the program.
#   VALBRIX_WINE_BACKTRACE=1  let winedbg print a backtrace when a program
#                         crashes. Off by default because with winedbg attached
#                         the crashed program's exit status is sometimes 0, and
#                         a crashing test would then pass.
set -euo pipefail

die() { echo "wine-run.sh: $*" >&2; exit 1; }

find_build_dir() {
  local d
  d=$(cd "$1" 2>/dev/null && pwd -P) || return 1
  while [[ "$d" != "/" ]]; do
    [[ -f "$d/CMakeCache.txt" ]] && { echo "$d"; return 0; }
    d=$(dirname "$d")
  done
  return 1
}

# PE32+ needs the 64-bit loader, PE32 the 32-bit one (package wine32, which
# needs the i386 architecture and is not installed by our scripts).
pick_loader() {
  local exe=$1 pe_off magic
  if [[ -f "$exe" ]] && [[ "$(head -c 2 "$exe" 2>/dev/null)" == "MZ" ]]; then
    pe_off=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
    magic=$(od -An -t x2 -j $((pe_off + 24)) -N 2 "$exe" | tr -d ' ')
    if [[ "$magic" == "010b" ]]; then
      [[ -x /usr/lib/wine/wine ]] ||
        die "$exe is a 32-bit Windows program; running it needs wine32 (dpkg --add-architecture i386; apt-get install wine32)"
      echo /usr/lib/wine/wine
      return
    fi
  fi
  [[ -x /usr/lib/wine/wine64 ]] || die "no /usr/lib/wine/wine64: run scripts/deps.sh windows"
  echo /usr/lib/wine/wine64
}

init_only=0
if [[ "${1:-}" == "--init" ]]; then
  init_only=1
  shift
  where=${1:-$PWD}
else
  [[ $# -ge 1 ]] || die "usage: wine-run.sh PROGRAM.exe [ARGS...] | --init [BUILD_DIR]"
  where=$(dirname "$1")
fi

# Refuse a program we cannot run before spending seconds on a prefix for it.
loader=
if [[ $init_only -eq 0 ]]; then
  loader=$(pick_loader "$1")
fi

ours=0
if [[ -n "${VALBRIX_WINEPREFIX:-}" ]]; then
  prefix=$VALBRIX_WINEPREFIX
else
  ours=1
  build_dir=$(find_build_dir "$where") ||
    die "cannot tell which build dir $where belongs to; set VALBRIX_WINEPREFIX"
  prefix=$build_dir/wineprefix
fi

export WINEPREFIX=$prefix
export WINEDEBUG=${VALBRIX_WINEDEBUG:--all}
export WINEARCH=win64
unset WAYLAND_DISPLAY
if [[ -n "${VALBRIX_WINE_DISPLAY:-}" ]]; then
  export DISPLAY=$VALBRIX_WINE_DISPLAY
else
  unset DISPLAY
fi
# wine wants a home directory even though the prefix is elsewhere.
if [[ -z "${HOME:-}" ]]; then
  HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
  export HOME
fi

# Creating a prefix takes several seconds and two wine processes doing it at
# once (ctest -j) corrupt it, so the first caller builds it under a lock and
# the rest wait. The marker is written last: a half-made prefix of our own
# from an interrupted run is thrown away and made again.
ready=$prefix/.valbrix-ready
if [[ ! -f "$ready" ]]; then
  mkdir -p "$(dirname "$prefix")"
  exec {lock_fd}>"$prefix.lock"
  flock "$lock_fd"
  if [[ ! -f "$ready" ]]; then
    [[ $ours -eq 1 ]] && rm -rf "$prefix"
    log=$prefix.boot.log
    started=$(date +%s)
    echo "wine-run.sh: creating wine prefix $prefix (once per build dir)" >&2
    # mscoree/mshtml off: wineboot would otherwise try to install Mono and
    # Gecko, which Debian does not ship and which need a dialog to decline.
    if ! WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot --init >"$log" 2>&1; then
      cat "$log" >&2
      die "wineboot failed (log: $log)"
    fi
    # Windows on a test's virtual X server: wine draws them whole, title bar included, instead of
    # leaving that to a window manager, which these servers do not have (wine would wait for one
    # at every hide). Its own fonts (fonts-wine: MS Sans Serif, Marlett for the caption buttons)
    # go where it looks for a system's fonts, and Arial Narrow, which comes with Office rather than
    # with Windows, is drawn as its metric twin.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 || true
    /usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v 'Arial Narrow' /d 'Liberation Sans Narrow' /f >>"$log" 2>&1 || true
    for font in /usr/share/wine/fonts/*.ttf; do
      if [[ -e $font ]]; then ln -sf "$font" "$prefix/drive_c/windows/Fonts/"; fi
    done
    # Let the wineserver write the new registry out before anyone relies on it.
    /usr/lib/wine/wineserver -w >>"$log" 2>&1 || true
    touch "$ready"
    echo "wine-run.sh: wine prefix ready after $(( $(date +%s) - started )) s" >&2
  fi
  flock -u "$lock_fd"
  exec {lock_fd}>&-
fi

[[ $init_only -eq 1 ]] && exit 0

# Without the debugger an unhandled exception ends the process with the
# exception code as its status (0xC0000005 shows as 5), every time.
if [[ "${VALBRIX_WINE_BACKTRACE:-0}" != 1 ]]; then
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"
fi
if [[ -z "${VALBRIX_WINE_DISPLAY:-}" ]]; then
  exec "$loader" "$@"
fi
# The wine session (wineserver, explorer.exe with the tray) is bound to the X server it started on;
# it ends with the program, so that the next program starts on its own display.
status=0
"$loader" "$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit "$status"
