#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ file of the project is laid out as its .clang-format says.
# Usage: check_format.sh SOURCE_DIR
# The tree is laid out by clang-format 14 (Debian 12's); other versions place a few constructs
# differently, so with no clang-format 14 at hand the check reports itself skipped (77).
# To lay out a file: clang-format-14 -i FILE (or `clang-format -i` where that is version 14).
set -u
cd "$1" || exit 2
format=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null &&
     "$candidate" --version | grep -Eq 'clang-format version 14\.'; then
    format="$candidate"
    break
  fi
done
if [ -z "$format" ]; then
  echo "no clang-format 14 here (scripts/setup.sh installs it on Debian 12): not checked"
  exit 77
fi
unformatted=0
checked=0
while IFS= read -r -d '' f; do
  checked=$((checked + 1))
  if ! "$format" --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "not laid out as .clang-format says: $f"
    unformatted=$((unformatted + 1))
  fi
done < <(find . \( -path './build*' -o -path './.git' -o -path './tests/fuzz/corpus' \) -prune -o \
           -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
# A check that found nothing to check has not checked anything.
[ "$checked" -gt 0 ] || { echo "no C++ file found under $1"; exit 1; }
[ "$unformatted" -eq 0 ] || { echo "$unformatted files to lay out with: $format -i FILE"; exit 1; }
echo "every C++ file is laid out as .clang-format says"
