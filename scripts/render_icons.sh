#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon data/icons/quillet.svg to the PNG sizes of the hicolor theme,
# under data/icons/hicolor/<N>x<N>/apps/quillet.png.
#   scripts/render_icons.sh          write the PNGs (commit them)
#   scripts/render_icons.sh --check  render into a temporary folder and compare with the committed
#                                    PNGs pixel by pixel (exit 1 on a difference, 77 when a tool is
#                                    missing, which ctest reports as skipped)
# rsvg-convert with a fixed width and height gives the same bytes on every run, so the committed
# files only change when the SVG does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
svg="$root/data/icons/quillet.svg"
sizes=(16 24 32 48 64 128 256 512)
mode="${1:-write}"

command -v rsvg-convert >/dev/null || { echo "render_icons.sh: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 77; }

render() {  # render <outdir>
  local n
  for n in "${sizes[@]}"; do
    mkdir -p "$1/${n}x${n}/apps"
    rsvg-convert --width "$n" --height "$n" --keep-aspect-ratio --format png \
      --output "$1/${n}x${n}/apps/quillet.png" "$svg"
  done
}

case "$mode" in
  write)
    render "$root/data/icons/hicolor"
    echo "wrote ${#sizes[@]} PNGs under data/icons/hicolor"
    ;;
  --check)
    # ImageMagick's compare; the one on PATH may be a stand-in, so ask for the Debian binary first.
    cmp_tool="$(command -v compare-im6.q16 || command -v compare || true)"
    [ -n "$cmp_tool" ] || { echo "render_icons.sh: ImageMagick's compare is missing" >&2; exit 77; }
    tmp="$(mktemp -d)"
    trap 'rm -rf "$tmp"' EXIT
    render "$tmp"
    status=0
    for n in "${sizes[@]}"; do
      committed="$root/data/icons/hicolor/${n}x${n}/apps/quillet.png"
      if [ ! -f "$committed" ]; then
        echo "missing: $committed" >&2; status=1; continue
      fi
      # Pixels that differ by more than 2% in any channel; another librsvg may antialias a little
      # differently, a changed drawing differs far more.
      differing="$("$cmp_tool" -metric AE -fuzz 2% "$committed" "$tmp/${n}x${n}/apps/quillet.png" null: 2>&1 || true)"
      differing="${differing%% *}"
      limit=$(( n * n / 100 ))
      if ! [[ "$differing" =~ ^[0-9]+$ ]] || [ "$differing" -gt "$limit" ]; then
        echo "${n}x${n}: $differing pixels differ from the SVG's rendering (limit $limit); run scripts/render_icons.sh" >&2
        status=1
      fi
    done
    [ "$status" -eq 0 ] && echo "all ${#sizes[@]} PNGs match data/icons/quillet.svg"
    exit "$status"
    ;;
  *) echo "usage: scripts/render_icons.sh [--check]" >&2; exit 2 ;;
esac
