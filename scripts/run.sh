#!/usr/bin/env bash
# Sets up, places the empty database into the working directory work/ (never over an existing one)
# with the skin, splash and help files beside it, and starts the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
mkdir -p work
[ -f work/Pelorvanide.dat ] || cp build/Pelorvanide.dat work/Pelorvanide.dat
# The program's own files are brought up to date every time; the clerk's data is left alone.
cp build/MainDlgSrc.dat build/DOvozOzivodERU.dat build/rOzevURU2.html work/
rm -rf work/rOzevURU2_files
cp -r build/rOzevURU2_files work/
cd work
exec ../build/pelorvanide
