#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds quillet-tool (the game's rules, computer player and record, and the book engine; no Qt,
# no SDL) with each cross compiler that is installed, runs it under qemu-user, and checks that its
# answers are the same as those of a native build: perft by the game's rules and by the engine,
# whole self-play games with the opening book, a small book build and the analysis of a position.
# It covers a 32-bit target (no 128-bit integer type) and a big-endian one.
#
#   scripts/check-ports.sh [TRIPLET...]     (default: every installed one of the list below)
#
# Needs g++-TRIPLET and qemu-user (Debian packages; not installed by scripts/setup.sh, being large).
set -euo pipefail
cd "$(dirname "$0")/.."

default_triplets=(i686-linux-gnu aarch64-linux-gnu arm-linux-gnueabihf s390x-linux-gnu powerpc64le-linux-gnu)
triplets=("$@")
[ ${#triplets[@]} -gt 0 ] || triplets=("${default_triplets[@]}")

out="build-ports"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mapfile -t sources < <(ls game/*.cpp rules/*.cpp ai/*.cpp record/*.cpp view/*.cpp sound/*.cpp \
                          tools/headless/*.cpp tools/engine/*.cpp tools/quillet_tool/*.cpp 2>/dev/null)
version="$(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"

# build CXX OUTPUT: one static executable, so qemu-user needs no target libraries.
build() {
  local cxx="$1" exe="$2" objs=() launcher=()
  command -v ccache >/dev/null && launcher=(ccache)
  mkdir -p "$exe.o"
  for src in "${sources[@]}"; do
    local obj="$exe.o/${src//\//_}.o"
    objs+=("$obj")
    [ "$obj" -nt "$src" ] && continue
    "${launcher[@]}" "$cxx" -std=c++20 -O2 -Wall -Wextra -Werror -I. -DQUILLET_VERSION="\"$version\"" \
      -c "$src" -o "$obj" &
    # Two compilers at a time.
    while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n; done
  done
  wait
  "$cxx" -static -pthread "${objs[@]}" -o "$exe"
}

cat >"$work/position.txt" <<'EOF'
xxo......
xoo......
xo.......
...ox....
...xoo...
....x....
.........
.........
........o
computer o
EOF

# answers RUNNER...: every answer that must not depend on the machine, timings dropped.
answers() {
  local dir
  dir="$(mktemp -d -p "$work")"
  "$@" perft 7 | sed 's/ time [0-9.]* s//'
  "$@" perft 9 --fast | sed 's/ time [0-9.]* s//'
  "$@" selfplay 12 --seed 7 --book assets/Quillet.定石 | sed 's/, [0-9.]* s$//'
  for c in bestmove eval safe searchinfo; do "$@" "$c" "$work/position.txt"; done
  "$@" book --lines 40 --depth 4 --out "$dir/book" 2>/dev/null | sed 's/ time [0-9.]* s//; s/ threads [0-9]*//; s/ file .*//'
  md5sum <"$dir/book"
}

echo "check-ports: native build"
build "${CXX:-g++}" "$out/native/quillet-tool"
answers "$out/native/quillet-tool" >"$work/native"

status=0
checked=0
for t in "${triplets[@]}"; do
  if ! command -v "$t-g++" >/dev/null; then
    echo "check-ports: $t: no $t-g++, skipped"
    continue
  fi
  arch="${t%%-*}"
  case "$arch" in
    i686) qemu=qemu-i386 ;;
    arm) qemu=qemu-arm ;;
    powerpc64le) qemu=qemu-ppc64le ;;
    *) qemu="qemu-$arch" ;;
  esac
  if ! command -v "$qemu" >/dev/null; then
    echo "check-ports: $t: no $qemu, skipped"
    continue
  fi
  echo "check-ports: $t: building"
  build "$t-g++" "$out/$t/quillet-tool"
  echo "check-ports: $t: running under $qemu"
  answers "$qemu" "$out/$t/quillet-tool" >"$work/$t" || true
  if diff -u "$work/native" "$work/$t"; then
    echo "check-ports: $t: same answers as the native build ($(wc -l <"$work/native") lines)"
    checked=$((checked + 1))
  else
    echo "check-ports: $t: answers differ from the native build" >&2
    status=1
  fi
done
echo "check-ports: $checked target(s) agree with the native build"
exit "$status"
