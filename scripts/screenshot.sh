#!/usr/bin/env bash
# Starts the built game under a private Xvfb display, waits for its window and writes a
# screenshot of the screen to docs/screenshot.png.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$root/docs/screenshot.png}"
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
[ -x "$build/quillet" ] || { echo "screenshot.sh: $build/quillet not built" >&2; exit 1; }

# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 640x560x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
game=""
cleanup() {
  # The sound library turns SIGTERM into a quit request the idle game never reads; kill it.
  if [ -n "$game" ]; then kill -KILL "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$build" && SDL_AUDIODRIVER=dummy exec ./quillet) &
game=$!
if ! timeout 20 xdotool search --sync --onlyvisible --name '^Quillet$' >/dev/null; then
  echo "screenshot.sh: the game window did not appear" >&2
  exit 1
fi
sleep 1  # let the first paint reach the screen
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "wrote $out"
