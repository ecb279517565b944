#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make install` and `make uninstall` (scripts/user-install.sh) into a prefix the user already
# has things in, with a space in its name: the install puts the game's files there, with a menu
# entry whose Exec= and Path= are inside the prefix; a second install over the first lists the
# same files; uninstalling leaves the prefix exactly as it was before, and keeps a file of the
# user's in one of the game's folders, with that folder.
#   check_user_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
umask 022
source_dir=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/my games"

fail() {
  echo "check_user_install: FAIL: $*" >&2
  exit 1
}
listing() { (cd "$prefix" && find . -printf '%y %m %p\n' | LC_ALL=C sort); }
user_install() { bash "$source_dir/scripts/user-install.sh" "$1" "$build" "$prefix" >"$tmp/out" 2>&1 || fail "$1: $(cat "$tmp/out")"; }

# What the user had before: programs and menu entries of their own, and an empty icons folder.
mkdir -p "$prefix/bin" "$prefix/share/applications" "$prefix/share/icons"
echo mine >"$prefix/bin/other-game"
echo mine >"$prefix/share/applications/other.desktop"
listing >"$tmp/before"

user_install install
record="$prefix/share/quillet/installed-files"
[ -f "$record" ] || fail "no list of installed files at $record"
while read -r kind path; do
  case $kind in
    file) [ -f "$path" ] || fail "listed, but not installed: $path" ;;
    folder) [ -d "$path" ] || fail "listed folder missing: $path" ;;
    *) fail "$record has a line '$kind $path'" ;;
  esac
done <"$record"
grep -qx "folder $prefix/share/icons" "$record" && fail "the user's own icons folder is listed as made by the install"
grep -qx "folder $prefix/share/icons/hicolor" "$record" || fail "the icons' new folder is not listed"
entry="$prefix/share/applications/quillet.desktop"
for f in bin/quillet bin/quillet-tool share/quillet/Quillet.定石 share/quillet/BGM.wav share/man/man6/quillet.6.gz; do
  grep -qx "file $prefix/$f" "$record" || fail "$f is not in the list"
done
grep -qx "file $entry" "$record" || fail "the menu entry is not in the list"
grep -qx "Exec=\"$prefix/bin/quillet\"" "$entry" || fail "menu entry: $(grep '^Exec=' "$entry")"
grep -qx "Path=$prefix/share/quillet" "$entry" || fail "menu entry: $(grep '^Path=' "$entry")"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the installed menu entry does not validate"
fi
# The installed game, asked where its files are, names the prefix's data folder.
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quillet" --help | grep -qF "installed, $prefix/share/quillet." ||
  fail "the installed game does not name its data folder: $("$prefix/bin/quillet" --help 2>&1 | tail -2)"

cp "$record" "$tmp/first"
user_install install
diff "$tmp/first" "$record" >&2 || fail "a second install lists other files than the first"

user_install uninstall
listing >"$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "the prefix is not as it was before the install"
if bash "$source_dir/scripts/user-install.sh" uninstall "$build" "$prefix" >"$tmp/out" 2>&1; then
  fail "a second uninstall found something to take out: $(cat "$tmp/out")"
fi

# A file the user put into the game's data folder stays, and so does the folder.
user_install install
echo notes >"$prefix/share/quillet/notes.txt"
user_install uninstall
grep -q "share/quillet is kept" "$tmp/out" || fail "uninstall did not say it kept the data folder: $(cat "$tmp/out")"
{
  cat "$tmp/before"
  echo "d 755 ./share/quillet"
  echo "f 644 ./share/quillet/notes.txt"
} | LC_ALL=C sort >"$tmp/expected"
listing >"$tmp/after"
diff "$tmp/expected" "$tmp/after" >&2 || fail "uninstall took more or less than the game's files"
echo "check_user_install: installed $(grep -c '^file ' "$tmp/first") files and took them out again"
