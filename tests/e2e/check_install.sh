#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks an installation made with `cmake --install`: check_install.sh PREFIX SOURCE_DIR
set -u
prefix="$1"
src="$2"
status=0
fail() { echo "check_install: $*" >&2; status=1; }

for f in bin/quillet bin/quillet-tool; do
  [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
for f in BGM.wav その他.wav 禁止.wav 駒打音.wav; do
  cmp -s "$src/assets/$f" "$prefix/share/quillet/$f" || fail "share/quillet/$f differs from assets/$f"
done
if [ -f "$src/assets/Quillet.定石" ]; then
  cmp -s "$src/assets/Quillet.定石" "$prefix/share/quillet/Quillet.定石" || fail "the opening book is not installed"
fi
for n in 16 24 32 48 64 128 256 512; do
  icon="$prefix/share/icons/hicolor/${n}x${n}/apps/quillet.png"
  [ -f "$icon" ] || { fail "icon ${n}x${n} missing"; continue; }
  # The PNG header's width and height (big-endian at bytes 16..23).
  size="$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')"
  [ "$size" = "${n}x${n}" ] || fail "icon ${n}x${n} is $size"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/quillet.svg" ] || fail "scalable icon missing"
[ -f "$prefix/share/metainfo/io.github.quillet.Quillet.metainfo.xml" ] || fail "metainfo missing"

entry="$prefix/share/applications/quillet.desktop"
if [ -f "$entry" ]; then
  grep -qx "Path=$prefix/share/quillet" "$entry" || fail "Path= does not name $prefix/share/quillet: $(grep ^Path= "$entry")"
  grep -qx "Exec=$prefix/bin/quillet" "$entry" || fail "Exec= does not name $prefix/bin/quillet: $(grep ^Exec= "$entry")"
  grep -qx "Categories=Game;BoardGame;" "$entry" || fail "Categories= is not Game;BoardGame;"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the installed entry"
  fi
else
  fail "share/applications/quillet.desktop missing"
fi
[ "$status" -eq 0 ] && echo "check_install: $prefix is complete"
exit "$status"
