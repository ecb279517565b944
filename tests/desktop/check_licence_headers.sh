#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the project names its licence on its first line (after a #! line).
# Usage: check_licence_headers.sh SOURCE_DIR
set -u
cd "$1" || exit 2
missing=0
while IFS= read -r -d '' f; do
  head=$(head -n 2 "$f")
  case "$head" in
    *"SPDX-License-Identifier: GPL-3.0-or-later"*) ;;
    *) echo "no licence line: $f"; missing=$((missing + 1)) ;;
  esac
done < <(find . \( -path './build*' -o -path './.git' -o -path './tests/fuzz/corpus' \) -prune -o \
           -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.py' -o -name '*.sh' -o -name '*.cmake' \
           -o -name CMakeLists.txt -o -name Makefile \) -print0)
[ "$missing" -eq 0 ] || { echo "$missing files without a licence line"; exit 1; }
echo "every source file names its licence"
