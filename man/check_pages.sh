#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# check_pages.sh QUILLET_TOOL PAGE...: every page renders without a warning from man or groff, and
# quillet-tool.6 has an entry for each command that `quillet-tool --help` lists, each of which
# `quillet-tool help COMMAND` explains. Rendered in a UTF-8 locale, as lintian does: the pages
# give the game's Japanese menu captions, which an ASCII terminal cannot show.
set -u
tool="$1"
shift
command -v man >/dev/null || { echo "man is not installed"; exit 77; }
status=0
for page in "$@"; do
  out="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)"
  if [ -n "$out" ]; then
    echo "$page: $out"
    status=1
  fi
  case "$page" in
    */quillet-tool.6)
      commands="$("$tool" --help | sed -n '/^commands:/,/^$/s/^  \([a-z]*\) .*/\1/p')"
      [ -n "$commands" ] || { echo "quillet-tool --help lists no commands"; status=1; }
      for c in $commands; do
        grep -Eq "^\.(B|BI) $c( |\$)" "$page" || { echo "$page has no entry for $c"; status=1; }
        "$tool" help "$c" >/dev/null || { echo "quillet-tool help $c failed"; status=1; }
      done
      echo "$page describes" $commands
      ;;
  esac
done
[ "$status" -eq 0 ] && echo "$# pages render without warnings"
exit "$status"
