#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game executable where the desktop is missing something.
#   game_binary_test.sh no-display QUILLET
#   game_binary_test.sh no-japanese-font QUILLET SURFACE_TEST FONTS_CONF
#   game_binary_test.sh terminate QUILLET
# no-display: without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM, or with one that names no
#   running display, the game must say so in one line on stderr and exit 1, not abort inside Qt.
# no-japanese-font: with fontconfig shown only FONTS_CONF's fonts, none of them Japanese (the tests'
#   DejaVu-only configuration), the game must start (offscreen), name its fallback, keep running,
#   and draw its start-up frame: the Qt surface test's checks that hold for any label font run
#   under the same fonts.
# terminate: a running game (offscreen, with its sound device open) ends on SIGTERM.
# Every wait is a poll with a deadline far beyond a busy machine's first start (a fresh system's
# first Qt start builds the font cache, over 20 s), and a game this script started is ended on
# every way out of it.
set -uo pipefail

mode="$1"
game="$2"
work="$(mktemp -d)"
pid=""
end_game() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap end_game EXIT
trap 'exit 1' INT TERM HUP
fail() { echo "FAIL: $*" >&2; exit 1; }
# poll SECONDS COMMAND...: until the command succeeds (status 0) or the game has ended (status 1)
# or the seconds are up (status 2).
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    kill -0 "$pid" 2>/dev/null || return 1
    [ "$SECONDS" -lt "$deadline" ] || return 2
    sleep 0.1
  done
}
running() { kill -0 "$pid" 2>/dev/null; }
ended() { ! running; }
export SDL_AUDIODRIVER=dummy
# Nothing of the desktop's Qt settings reaches the game: it runs at its own scale, style and theme
# (the list of tests/qt/QtEnvironment.cpp), and with no session bus, none autolaunched.
export DBUS_SESSION_BUS_ADDRESS=disabled:
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_SCALE_FACTOR_ROUNDING_POLICY QT_USE_PHYSICAL_DPI QT_DEVICE_PIXEL_RATIO QT_FONT_DPI \
  QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_QPA_FONTDIR QT_IM_MODULE \
  XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID \
  QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON \
  FONTCONFIG_PATH FONTCONFIG_SYSROOT

case "$mode" in
no-display)
  # No display at all, and displays named that do not answer: the game's own single line and
  # status 1 each time, whichever window systems Qt has (with Qt's Wayland platform missing, the
  # Wayland cases end the same way).
  x=4711
  while [ -e "/tmp/.X11-unix/X$x" ]; do x=$((x + 1)); done
  for case in "" "QT_QPA_PLATFORM=wayland" "DISPLAY=:$x" "WAYLAND_DISPLAY=no-compositor"; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" $case \
      timeout -k 5 120 "$game" >"$work/out" 2>"$work/err"
    rc=$?
    what="${case:-nothing set}"
    cat "$work/err"
    [ "$rc" -ne 124 ] || fail "$what: the game waited instead of exiting"
    [ "$rc" -lt 128 ] || fail "$what: the game died of signal $((rc - 128))"
    [ "$rc" -eq 1 ] || fail "$what: exit $rc, not 1"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: not one line on stderr"
    grep -Eq "^quillet: .*display" "$work/err" || fail "$what: no message of the game's about the display"
    if grep -Eqi "abort|core dumped|could not connect|This application failed to start" "$work/err"; then
      fail "$what: Qt's own abort text instead of a plain message"
    fi
    echo "$what: exit 1 with one line"
  done
  ;;
no-japanese-font)
  surface_test="$3"
  export FONTCONFIG_FILE="$4"
  [ -z "$(fc-list :lang=ja)" ] || fail "$FONTCONFIG_FILE still offers Japanese fonts"
  if [ -z "$(fc-list)" ]; then
    echo "$FONTCONFIG_FILE offers no font: DejaVu is missing (scripts/setup.sh installs fonts-dejavu-core)"
    exit 77
  fi
  (cd "$work" && QT_QPA_PLATFORM=offscreen exec "$game" >"$work/out" 2>"$work/err") &
  pid=$!
  # The note comes once the fonts are read; the game then runs on until it is told to end.
  poll 120 grep -Eq "no Japanese font.*; using [^ ].*" "$work/err"
  case $? in
  1) wait "$pid"; fail "the game did not keep running (exit $?): $(cat "$work/err")" ;;
  2) fail "no note naming the fallback font within 120 s: $(cat "$work/err")" ;;
  esac
  cat "$work/err"
  running || fail "the game ended after naming its fallback"
  kill -TERM "$pid"
  wait "$pid"
  pid=""
  # Board, logo, labels and grid lines, checked the ways that hold for any label font: a fallback
  # font's labels may dip into the squares beside them, so not the pixel-exact squares.
  QUILLET_TEST_FONTCONFIG="$FONTCONFIG_FILE" "$surface_test" \
    --gtest_filter='StartFrame.LogoLabelsAndBackground:StartFrame.EverySquareShownBesideLabelsOfAnyFont:StartFrame.NeighbouringSquaresShareOneGreenLine' \
    >"$work/surface" 2>&1
  rc=$?
  cat "$work/surface"
  [ "$rc" -eq 0 ] || fail "the start-up frame was not drawn"
  grep -q "PASSED .* 3 tests" "$work/surface" || fail "the surface test did not run its three checks"
  echo "no Japanese font: the game ran on a fallback and drew its start-up frame"
  ;;
terminate)
  (cd "$work" && QT_QPA_PLATFORM=offscreen exec "$game" >"$work/out" 2>"$work/err") &
  pid=$!
  # Until the sound device is open (SDL's audio thread runs).
  audio_open() { grep -qs '^SDLAudio' /proc/"$pid"/task/*/comm; }
  poll 120 audio_open
  case $? in
  1) fail "the game did not start: $(cat "$work/err")" ;;
  2) fail "the game did not open its sound device within 120 s" ;;
  esac
  kill -TERM "$pid"
  poll 30 ended
  [ $? -ne 2 ] || fail "the game ignored SIGTERM for 30 s"
  wait "$pid"
  pid=""
  echo "terminate: the game ended on SIGTERM"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
