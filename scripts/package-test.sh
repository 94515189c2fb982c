#!/usr/bin/env bash
# Builds the Debian package and tries it in a fresh minimal Debian 12 root: installs it with apt-get,
# starts the launcher offscreen for two new users and checks each reaches the login window with the
# right database in their data folder (a fresh one for the first, the data already there for the
# second), then installs the package a second time and removes it and checks both databases stay
# byte for byte. Needs root (debootstrap and chroot) and the network for apt-get.
#   bash scripts/package-test.sh
# FRESH_DEBIAN names the script that makes and enters the root (default ../shared/fresh-debian.sh
# beside this checkout, else /work/shared/fresh-debian.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
fresh=${FRESH_DEBIAN:-../shared/fresh-debian.sh}
[ -f "$fresh" ] || fresh=/work/shared/fresh-debian.sh
[ "$(id -u)" -eq 0 ] || { echo "package-test: must run as root" >&2; exit 1; }

bash scripts/setup.sh
rm -f build/pelorvanide_*.deb
(cd build && cpack -G DEB)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp build/pelorvanide_*.deb scripts/package-check.sh "$stage/"
# A database made now differs byte for byte from the delivered one (the store salts every file): it
# stands for a clerk's own data, which the launcher must leave in place.
build/schema/pelorvanide-mkdb "$stage/clerk-data.dat"
bash "$fresh" run "$stage" bash package-check.sh
