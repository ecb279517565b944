#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (`make deb`) and checks it as a user would meet it:
#   - the control fields and the files, where Debian's policy for games puts them;
#   - lintian, which must report no error and no warning (other tags are listed);
#   - extracted into a temporary root: both programs answer --version there, and the game, started
#     the way its menu entry starts it (Exec= in Path=, both inside that root), opens its window in
#     a private Xvfb display and draws its board.
#
#   scripts/check-deb.sh [--install] [PACKAGE.deb]
#
# With a package file it checks that file instead of building one. With --install (as root) it
# also installs the package with dpkg -i, starts the game from the installed menu entry, and
# removes the package again with dpkg -r, checking that no file of it is left.
set -euo pipefail
cd "$(dirname "$0")/.."

install=0
if [ "${1:-}" = "--install" ]; then
  install=1
  shift
fi
if [ $# -gt 0 ]; then
  deb="$1"
else
  make deb >/dev/null
  deb="$(ls build-deb/quillet_*.deb)"
fi
[ -f "$deb" ] || { echo "check-deb: no package $deb" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
game_pid=""
cleanup() {
  [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "check-deb: FAIL: $*" >&2
  failures=$((failures + 1))
}
ok() { echo "check-deb: ok: $*"; }

version="$(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
arch="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "quillet_${version}_${arch}.deb" ] || fail "package file is named $(basename "$deb")"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = quillet ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends="$(field Depends)"
depends_names=" $(sed 's/ *([^)]*)//g; s/,/ /g' <<<"$depends") "
# (Debian 13 renamed some libraries for the 64-bit time_t: libqt6core6 is libqt6core6t64 there.)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-mixer-2.0-0; do
  [[ "$depends_names" == *" $lib "* || "$depends_names" == *" ${lib}t64 "* ]] || fail "Depends lacks $lib: $depends"
done
for p in fonts-ipafont-mincho qt6-translations-l10n qt6-wayland; do
  grep -q "$p" <<<"$(field Recommends)" || fail "Recommends lacks $p"
done
ok "control: quillet $version $arch, section games; Depends: $depends; Recommends: $(field Recommends)"

# Files.
dpkg-deb --contents "$deb" | awk '{print $1, $2, $NF}' >"$work/contents"
expected=(
  ./usr/games/quillet ./usr/games/quillet-tool
  ./usr/share/games/quillet/Quillet.定石 ./usr/share/games/quillet/BGM.wav
  ./usr/share/games/quillet/その他.wav ./usr/share/games/quillet/禁止.wav ./usr/share/games/quillet/駒打音.wav
  ./usr/share/applications/quillet.desktop ./usr/share/metainfo/io.github.quillet.Quillet.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/quillet.svg ./usr/share/icons/hicolor/48x48/apps/quillet.png
  ./usr/share/man/man6/quillet.6.gz ./usr/share/man/man6/quillet-tool.6.gz
  ./usr/share/doc/quillet/copyright ./usr/share/doc/quillet/changelog.gz
)
for f in "${expected[@]}"; do
  grep -q " $f\$" "$work/contents" || fail "the package has no $f"
done
if grep -Ev ' (\./|\./usr/.*)$' "$work/contents" | grep -q .; then fail "files outside /usr"; fi
if awk '$2 != "root/root"' "$work/contents" | grep -q .; then fail "files not owned by root"; fi
ok "$(wc -l <"$work/contents") entries, programs in /usr/games, data in /usr/share/games/quillet"

# lintian: no errors, no warnings. Its other tags are printed for the record.
if command -v lintian >/dev/null; then
  # (Its note that it runs as root is left out: CI runs as root.)
  lintian_status=0
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.out" 2>&1 || lintian_status=$?
  grep -v 'running with root privileges' "$work/lintian.out" >"$work/lintian" || true
  [ "$lintian_status" -eq 0 ] || {
    cat "$work/lintian"
    fail "lintian reports errors or warnings"
  }
  if [ -s "$work/lintian" ]; then
    echo "check-deb: lintian says:"
    sed 's/^/  /' "$work/lintian"
  fi
  ok "lintian: $(grep -c '^E:' "$work/lintian" || true) errors, $(grep -c '^W:' "$work/lintian" || true) warnings"
else
  fail "lintian is not installed (scripts/setup.sh installs it)"
fi

# A private X display for the game.
start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { display=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  return 1
}

# run_game ROOT DESKTOP_ENTRY WHAT: starts the game as the menu entry says, and checks that a
# window called Quillet appears and shows the board, and that the game runs in the entry's Path=
# (where it finds its book and sounds). With ROOT empty the entry is launched as a desktop does it
# (gio launch); otherwise every path in it is taken under ROOT.
run_game() {
  local root="$1" entry="$2" what="$3" exec_path dir shot colours window="" pid=""
  exec_path="$(sed -n 's/^Exec=//p' "$entry")"
  dir="$(sed -n 's/^Path=//p' "$entry")"
  [ -x "$root$exec_path" ] || { fail "$what: Exec=$exec_path is not in the package"; return; }
  [ -f "$root$dir/Quillet.定石" ] || { fail "$what: Path=$dir does not hold the opening book"; return; }
  # (No session bus: one autolaunched for the private display would outlive the check.)
  if [ -z "$root" ]; then
    DISPLAY="$display" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: \
      gio launch "$entry" >"$work/game.out" 2>"$work/game.err" &
  else
    (cd "$root$dir" && DISPLAY="$display" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: \
       exec "$root$exec_path" >"$work/game.out" 2>"$work/game.err") &
  fi
  game_pid=$!
  for _ in $(seq 100); do
    window="$(DISPLAY="$display" xdotool search --onlyvisible --name '^Quillet$' 2>/dev/null | head -1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "$what: no window called Quillet appeared: $(cat "$work/game.err")"
  else
    pid="$(DISPLAY="$display" xdotool getwindowpid "$window" 2>/dev/null || true)"
    [ -n "$pid" ] && game_pid="$pid"
    if [ -z "$pid" ] || [ "$(readlink "/proc/$pid/cwd")" != "$root$dir" ]; then
      fail "$what: the game does not run in $root$dir"
    fi
    sleep 2  # the start-up drawing
    shot="$work/$what.png"
    DISPLAY="$display" import -window root "$shot"
    # The board's pictures and labels, not an empty frame.
    colours="$(convert "$shot" -format %k info:)"
    if [ "$colours" -lt 20 ]; then
      fail "$what: the window shows only $colours colours"
    else
      ok "$what: window $(DISPLAY="$display" xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p') in $dir, $colours colours in the screenshot"
    fi
    [ -z "${QUILLET_DEB_SHOT:-}" ] || cp "$shot" "${QUILLET_DEB_SHOT%.png}-$what.png"
  fi
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

# Extracted into a temporary root.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for p in quillet quillet-tool; do
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/$p" --version | head -1)"
  [ "$out" = "$p $version" ] && ok "$p --version: $out" || fail "$p --version said '$out'"
done
# Started anywhere else, the game reads the files it does not find in its current directory from
# the data folder, which it finds from its own place: /usr/games/../share/games/quillet.
data="$(realpath "$root")/usr/share/games/quillet"
if env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/quillet" --help | grep -qF "installed, $data."; then
  ok "quillet --help names the data folder it falls back on, $data"
else
  fail "quillet --help does not name $data: $(env -u DISPLAY "$root/usr/games/quillet" --help | tail -3)"
fi
(cd "$root/usr/share/games/quillet" && "$root/usr/games/quillet-tool" selfplay 2 --seed 5 >"$work/selfplay") ||
  fail "quillet-tool selfplay from the extracted package: $(cat "$work/selfplay")"
grep -q "book lines 10000" "$work/selfplay" && ok "quillet-tool finds the installed book in Path=" ||
  fail "quillet-tool did not read the installed book: $(head -1 "$work/selfplay")"

start_display || { fail "no X display could be started"; exit 1; }
run_game "$root" "$root/usr/share/applications/quillet.desktop" extracted

if [ "$install" = 1 ]; then
  dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; exit 1; }
  ok "dpkg -i: $(dpkg-query -W -f='${Package} ${Version} ${Status}' quillet)"
  run_game "" /usr/share/applications/quillet.desktop installed
  man -w quillet >/dev/null 2>&1 && man -w quillet-tool >/dev/null 2>&1 && ok "man finds both pages" ||
    fail "man does not find the installed pages"
  mapfile -t listed < <(dpkg -L quillet)
  dpkg -r quillet >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
  left=0
  for f in "${listed[@]}"; do
    [ -f "$f" ] && { fail "$f is left after dpkg -r"; left=$((left + 1)); }
  done
  [ -d /usr/share/games/quillet ] && fail "/usr/share/games/quillet is left after dpkg -r"
  [ "$left" -eq 0 ] && ok "dpkg -r removed all ${#listed[@]} paths' files"
fi

if [ "$failures" -gt 0 ]; then
  echo "check-deb: $failures check(s) failed" >&2
  exit 1
fi
echo "check-deb: $deb is good"
