#!/usr/bin/env bash
# The game executable where the desktop is missing something.
#   game_binary_test.sh no-display QUILLET
#   game_binary_test.sh no-japanese-font QUILLET SURFACE_TEST
#   game_binary_test.sh terminate QUILLET
# no-display: without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM the game must say so on stderr
#   and exit non-zero by itself, not abort inside Qt.
# no-japanese-font: with fontconfig shown only fonts without Japanese glyphs, the game must start
#   (offscreen), name its fallback, keep running, and draw its start-up frame (the Qt surface test
#   of the start-up frame is run under the same fonts).
# terminate: a running game (offscreen, with its sound device open) ends on SIGTERM.
set -uo pipefail

mode="$1"
game="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export SDL_AUDIODRIVER=dummy

case "$mode" in
no-display)
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$game" >"$work/out" 2>"$work/err"
  rc=$?
  cat "$work/err"
  [ "$rc" -ne 124 ] || fail "the game waited instead of exiting"
  [ "$rc" -ne 0 ] || fail "the game exited 0 without a display"
  [ "$rc" -lt 128 ] || fail "the game died of signal $((rc - 128))"
  grep -qi "display" "$work/err" || fail "no message about the missing display on stderr"
  if grep -Eqi "abort|core dumped|could not connect|This application failed to start" "$work/err"; then
    fail "Qt's own abort text instead of a plain message"
  fi
  echo "no display: exit $rc with a message"
  ;;
no-japanese-font)
  surface_test="$3"
  # Every font directory that holds no font covering Japanese.
  mapfile -t ja < <(fc-list :lang=ja file | sed 's/:.*//' | xargs -r -n1 dirname | sort -u)
  mapfile -t all < <(fc-list : file | sed 's/:.*//' | xargs -r -n1 dirname | sort -u)
  {
    echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
    for d in "${all[@]}"; do
      skip=0
      for j in "${ja[@]}"; do [ "$d" = "$j" ] && skip=1; done
      [ "$skip" = 1 ] || echo "<dir>$d</dir>"
    done
    echo "<cachedir>$work/cache</cachedir></fontconfig>"
  } >"$work/fonts.conf"
  export FONTCONFIG_FILE="$work/fonts.conf"
  [ -z "$(fc-list :lang=ja)" ] || fail "the font configuration still offers Japanese fonts"
  if [ -z "$(fc-list)" ]; then
    echo "no font without Japanese glyphs is installed; nothing to fall back on"
    exit 77
  fi
  (cd "$work" && QT_QPA_PLATFORM=offscreen timeout -k 5 5 "$game" >"$work/out" 2>"$work/err")
  rc=$?
  cat "$work/err"
  [ "$rc" -eq 124 ] || fail "the game did not keep running (exit $rc)"
  grep -q "no Japanese font" "$work/err" || fail "no note naming the fallback font"
  # Board, logo and labels; not the pixel-exact squares, for another font's label text may
  # reach a pixel or two further.
  QT_QPA_PLATFORM=offscreen "$surface_test" \
    --gtest_filter='StartFrame.LogoLabelsAndBackground:StartFrame.SquareA1StartsWhereTheBoardPutsIt:StartFrame.NeighbouringSquaresShareOneGreenLine' \
    || fail "the start-up frame was not drawn"
  echo "no Japanese font: the game ran on a fallback and drew its start-up frame"
  ;;
terminate)
  (cd "$work" && QT_QPA_PLATFORM=offscreen exec "$game" >"$work/out" 2>"$work/err") &
  pid=$!
  # Until the sound device is open (SDL's audio thread runs), at most 20 s.
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    grep -qs '^SDLAudio' /proc/"$pid"/task/*/comm && break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null || fail "the game did not start: $(cat "$work/err")"
  grep -qs '^SDLAudio' /proc/"$pid"/task/*/comm || fail "the game did not open its sound device"
  kill -TERM "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "the game ignored SIGTERM"
  fi
  echo "terminate: the game ended on SIGTERM"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
