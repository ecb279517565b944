#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes docs/screenshot.png, the README's picture: installs the
# built game into a scratch prefix, plays a few moves against the computer with the move numbers
# on in a private Xvfb display, and writes the game's window alone (scripts/screenshot.py).
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$root/docs/screenshot.png}"
. "$root/scripts/scratch-install.sh"
require_tools screenshot.sh Xvfb xdotool import python3
install_scratch screenshot.sh "$build"
python3 "$root/scripts/screenshot.py" "$prefix" "$out"
