#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# check_pages.sh QUILLET_TOOL PAGE...: every page renders without a warning from man or groff, and
# quillet-tool.6 has an entry for each command that `quillet-tool --help` lists, each of which
# `quillet-tool help COMMAND` explains; the entry's heading shows the very arguments and options
# of the usage line that the command declares. Rendered in a UTF-8 locale, as lintian does: the
# pages give the game's Japanese menu captions, which an ASCII terminal cannot show.
set -u

# entry PAGE COMMAND: the text of the command's entry heading, as the page shows it: its lines of
# font macros from ".B COMMAND" or ".BI COMMAND ..." up to a ".br" or a line of prose. .B and .I
# set their words apart; .BI, .RB and the other two-font macros join them; quotes group a word.
entry() {
  awk -v command="$2" '
    function shown(line,   macro, rest, i, c, word, started, quoted, n, words, out) {
      macro = line
      sub(/ .*/, "", macro)
      rest = substr(line, length(macro) + 2)
      n = 0; word = ""; started = 0; quoted = 0
      for (i = 1; i <= length(rest); i++) {
        c = substr(rest, i, 1)
        if (c == "\"") { quoted = !quoted; started = 1; continue }
        if (c == " " && !quoted) {
          if (started) { words[++n] = word; word = ""; started = 0 }
          continue
        }
        word = word c; started = 1
      }
      if (started) words[++n] = word
      out = words[1]
      for (i = 2; i <= n; i++) out = out ((macro == ".B" || macro == ".I") ? " " : "") words[i]
      gsub(/\\-/, "-", out)
      return out
    }
    !inside && ($1 == ".B" || $1 == ".BI") && $2 == command {
      inside = 1
    }
    inside && $0 !~ /^\.(B|I|BI|IB|BR|RB|IR|RI) / { exit }
    inside { text = text (text == "" ? "" : " ") shown($0) }
    END { print text }
  ' "$1"
}
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
        usage="$("$tool" help "$c" | sed -n '1s/^usage: quillet-tool //p')"
        shown="$(entry "$page" "$c")"
        [ "$shown" = "$usage" ] || {
          echo "$page: the entry for $c reads '$shown', but the command declares '$usage'"
          status=1
        }
      done
      echo "$page describes" $commands
      ;;
  esac
done
[ "$status" -eq 0 ] && echo "$# pages render without warnings"
exit "$status"
