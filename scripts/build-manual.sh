#!/usr/bin/env bash
# Builds the user manual and puts it in one stable place for whoever ships it:
#
#   build/manual/VALBRIXHELP_DE.chm   the German HTML Help file, shipped beside Valbrix.exe
#   build/manual/VALBRIXHELP_EN.chm   the English one
#   build/manual/html/                the pages for a browser: de/index.html and en/index.html are the
#                                     start pages, beside them pictures/ and style.css
#
# The manual is made from manual/ by a tool of the Linux build that reads the program's own tables,
# so this uses the linux preset's build folder. The pages and both help files are checked before
# they are copied; the script fails rather than hand on a broken manual. It installs the Debian
# packages it lacks.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/deps.sh --for manual
bash scripts/build.sh linux configure
cmake --build --preset linux --target manual

tool=build/linux/tools/manual/valbrix-manual
html=build/linux/share/valbrix/manual
"$tool" check "$html" packaging/windows
for name in VALBRIXHELP_DE VALBRIXHELP_EN; do
  "$tool" check-chm "build/linux/manual/$name.chm" "$html"
done

out=build/manual
rm -rf "$out"
mkdir -p "$out"
cp -r "$html" "$out/html"
cp build/linux/manual/VALBRIXHELP_DE.chm build/linux/manual/VALBRIXHELP_EN.chm "$out/"
echo "build-manual.sh: the manual is in $out/:"
(cd "$out" && ls -1 VALBRIXHELP_*.chm html/de/index.html html/en/index.html)
