#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the installed game under Xvfb: start-up to the first painted frame, the accuracy of
# the game's timed waits, and over a whole game against the computer the CPU time per wall time
# and the peak resident memory.
#   scripts/measure.sh [BUILD_DIR] [startup|sleeps|game ...]
# Installs BUILD_DIR (default build/, built first with `make build`) into a temporary prefix and
# runs tests/e2e/measure.py against it. Takes about four minutes, most of it the whole game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
shift || true
. "$root/scripts/scratch-install.sh"
require_tools measure.sh Xvfb xdotool import strace python3 /usr/bin/time
install_scratch measure.sh "$build"
echo "measuring $build on $(nproc) cores ($(uname -m)), installed in a temporary prefix"
QUILLET_E2E_PREFIX="$prefix" python3 "$root/tests/e2e/measure.py" "$@"
