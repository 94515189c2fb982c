#!/usr/bin/env bash
# Takes pictures of the splash, the login, the main window at rest and maximised and the stock-in,
# issue, return and report dialogs on a virtual display, as PNG files in the folder given
# (screenshots/ by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends xvfb xauth
fi
out="${1:-screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cmake --build build --target pelorvanide-screenshots skinfiles emptydb
xvfb-run -a -s "-screen 0 1440x900x24" env QT_QPA_PLATFORM=xcb build/tests/mainwindow/pelorvanide-screenshots "$out"
echo "Pictures in $out"
