#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command lines of both programs: what they print and their exit status.
#   command_line_test.sh VERSION QUILLET_TOOL [QUILLET]
# quillet answers --help and --version with no display at all (before Qt would need one) and
# refuses anything else with a usage message and status 2. quillet-tool lists its commands,
# explains each, and exits 0 when done, 1 on bad input and 2 on wrong arguments.
set -uo pipefail
version="$1"
tool="$2"
game="${3:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect STATUS STDOUT-PATTERN STDERR-PATTERN -- COMMAND...: the status, and an extended regular
# expression each output must match ('' for an output that must be empty).
expect() {
  local status="$1" out="$2" err="$3" rc
  shift 4
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout -k 5 120 "$@" >"$work/out" 2>"$work/err"
  rc=$?
  [ "$rc" -eq "$status" ] || fail "$*: exit $rc, not $status; stderr: $(head -3 "$work/err")"
  for stream in out err; do
    local pattern
    [ "$stream" = out ] && pattern="$out" || pattern="$err"
    if [ -z "$pattern" ]; then
      [ ! -s "$work/$stream" ] || fail "$*: unexpected std$stream: $(head -3 "$work/$stream")"
    elif ! grep -Eq -- "$pattern" "$work/$stream"; then
      fail "$*: std$stream does not match /$pattern/: $(head -3 "$work/$stream")"
    fi
  done
}

if [ -n "$game" ]; then
  expect 0 "^Usage: quillet " '' -- "$game" --help
  expect 0 "^Usage: quillet " '' -- "$game" -h
  expect 0 "^quillet $version\$" '' -- "$game" --version
  grep -q "GPL-3.0-or-later" "$work/out" || fail "quillet --version names no licence"
  expect 2 '' "unknown option '--fullscreen'.*|^Usage: quillet " -- "$game" --fullscreen
  expect 2 '' "unexpected argument 'game.txt'" -- "$game" game.txt
  echo "quillet: --help, --version and refusals checked without a display"
fi

expect 0 "^usage: quillet-tool COMMAND" '' -- "$tool" --help
grep -Eq "^  perft N" "$work/out" || fail "quillet-tool --help does not list perft"
grep -q "Exit status: 0 done, 1 bad input" "$work/out" || fail "quillet-tool --help does not document its exit status"
expect 0 "^quillet-tool $version\$" '' -- "$tool" --version
expect 0 "^usage: quillet-tool selfplay N" '' -- "$tool" help selfplay
expect 2 '' "unknown command 'nosuch'" -- "$tool" help nosuch
expect 2 '' "unknown command 'nosuch'" -- "$tool" nosuch
expect 2 '' "^usage: quillet-tool COMMAND" -- "$tool"

# Wrong arguments: 2, with the command's usage.
expect 2 '' "missing depth" -- "$tool" perft
expect 2 '' "depth must be a whole number" -- "$tool" perft deep
expect 2 '' "^usage: quillet-tool eval FILE" -- "$tool" eval
expect 2 '' "unexpected argument '--fast'" -- "$tool" bench --fast

# Bad input: 1, naming the file and the line.
expect 1 '' "cannot open position file '$work/none'" -- "$tool" eval "$work/none"
printf '.........\n.........\n...ox....\n...xo.?..\n' >"$work/bad.txt"
expect 1 '' "bad.txt: line 4: unexpected character '\\?'" -- "$tool" bestmove "$work/bad.txt"
expect 1 '' "cannot open book file" -- "$tool" lookup "$work/none" "$work/bad.txt"

# Done: 0.
printf '.........\n.........\n.........\n...ox....\n...xo....\n.........\n.........\n.........\n.........\ncomputer x\n' \
  >"$work/start.txt"
expect 0 "^[c-f][3-6]\$" '' -- "$tool" bestmove "$work/start.txt"

if [ "$failures" -gt 0 ]; then
  echo "$failures command line check(s) failed" >&2
  exit 1
fi
echo "quillet-tool: help, version and exit statuses 0, 1 and 2 checked"
