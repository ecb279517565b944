#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's command that sets up, builds and runs every test on a fresh Debian 12 or 13: a bare
# system has no make yet, so the packages come first (those the tests need as well), then
# `make test` does the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec make test
