#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Nothing the tests started outlives them. Every test that starts the game (or a display, or a
# window manager for it) runs with QUILLET_TEST_RUN naming its build folder, and whatever it starts
# inherits that; this check runs after all of them (a ctest fixture's clean-up) and names and ends
# every process still marked with this build's folder. Other checkouts' and builds' runs carry
# other folders and are left alone.
#   no_game_left.sh BUILD_DIR
set -uo pipefail
mark="QUILLET_TEST_RUN=$1"
left=0
for dir in /proc/[0-9]*; do
  pid="${dir#/proc/}"
  [ "$pid" != "$$" ] || continue
  # Another user's processes, and those that ended meanwhile, cannot be read: not ours.
  { tr "\0" "\n" <"$dir/environ"; } 2>/dev/null | grep -qxF -- "$mark" || continue
  what="$({ tr "\0" " " <"$dir/cmdline"; } 2>/dev/null)"
  where="$(readlink "$dir/cwd" 2>/dev/null)"
  [ -n "$what" ] || continue  # ended while looked at
  echo "left running: pid $pid: $what(in $where)"
  kill -KILL "$pid" 2>/dev/null
  left=$((left + 1))
done
[ "$left" -eq 0 ] || { echo "FAIL: $left processes of the tests outlived them (now killed)"; exit 1; }
echo "no process of the tests is left"
