#!/usr/bin/env bash
# Installs what is missing, configures and builds. Quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every Debian 12 package the program, its build and its tests use, one to a line. A package that is
# only on the developer's machine by chance fails CI, which runs the tests in a fresh minimal root.
packages=(
  cmake
  ninja-build
  g++
  pkg-config
  qt6-base-dev
  qt6-base-dev-tools
  libqt6printsupport6
  qt6-translations-l10n
  libsqlcipher-dev
  libsodium-dev
  libxlsxwriter-dev
  zlib1g-dev            # libxlsxwriter links -lz
  sqlcipher             # the store's shell: tests read the file with it
  python3-openpyxl      # tests read the exported workbooks back
  poppler-utils         # tests read printed PDF files back (pdftotext, pdfinfo)
  libssl-dev            # tests decrypt the data file's pages to look for clear passwords
  fonts-wqy-microhei    # the Chinese font of the window and the prints
  dpkg-dev              # the Debian package made with cpack
  libpq-dev             # the server store's client library
  postgresql-15         # the server the tests and the benchmark start in a throwaway cluster
  postgresql-common     # pg_virtualenv, which makes that cluster
  qt6-charts-dev        # the overview's charts
  libqt6opengl6-dev     # Qt Charts' CMake package asks for Qt's OpenGL module
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
