#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's command that sets up, builds and starts the game on a fresh Debian 12 or 13: a bare
# system has no make yet, so the packages come first (only those that building and playing
# need), then `make run` does the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh play
exec make run
