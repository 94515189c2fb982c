#!/usr/bin/env bash
# Sets up and runs every test without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
# The tests' single-instance locks live in a runtime folder of their own, so that a second run of the
# suite on the same machine (another checkout) neither waits for nor breaks this one.
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
