#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_format.sh refuses a file that is not laid out: a copy of game/reset.cpp with its
# indentation spoilt, made here in a folder of this run's own (not one that configuring the
# build rewrites, which another run in the same build folder may be doing meanwhile).
# Usage: check_format_spoilt.sh SOURCE_DIR
set -uo pipefail
src="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$src/.clang-format" "$work/.clang-format" || exit 2
sed 's/^    /  /' "$src/game/reset.cpp" >"$work/reset.cpp" || exit 2
if cmp -s "$src/game/reset.cpp" "$work/reset.cpp"; then
  echo "FAIL: spoiling game/reset.cpp changed nothing (it has no four-space indentation)"
  exit 1
fi
bash "$(dirname "$0")/check_format.sh" "$work"
