#!/usr/bin/env bash
# Sets up, places the empty database into the working directory work/ (never over an existing one)
# and starts the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
mkdir -p work
[ -f work/Pelorvanide.dat ] || cp build/Pelorvanide.dat work/Pelorvanide.dat
cd work
exec ../build/pelorvanide
