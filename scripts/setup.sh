#!/usr/bin/env bash
# Installs what is missing, configures and builds. Quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libsqlcipher-dev
  qt6-translations-l10n libsodium-dev libxlsxwriter-dev python3-openpyxl poppler-utils fonts-wqy-microhei dpkg-dev
  qt6-charts-dev libqt6opengl6-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing:$missing"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
