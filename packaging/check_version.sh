#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# check_version.sh SOURCE_DIR VERSION: every place that states the release gives the project's
# version (the changelog's latest entry, the metainfo's latest release, the manual pages), so a
# version bump cannot leave one behind.
set -u
src="$1"
version="$2"
status=0
check() {  # check WHAT FOUND
  if [ "$2" = "$version" ]; then
    echo "$1: $2"
  else
    echo "$1 says '$2', the project is $version"
    status=1
  fi
}
check "packaging/changelog" "$(sed -n '1s/^quillet (\([^)]*\)).*/\1/p' "$src/packaging/changelog")"
check "metainfo" "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$src/data/io.github.quillet.Quillet.metainfo.xml" | head -1)"
for page in "$src"/man/*.6; do
  check "man/$(basename "$page")" "$(sed -n 's/^\.TH .* "Quillet \([^"]*\)".*/\1/p' "$page")"
done
exit "$status"
