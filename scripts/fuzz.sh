#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer) in
# build-fuzz and runs each for a bounded time from its seed corpus. Exits non-zero on a finding
# (the crashing input is left in build-fuzz/findings/<target>/) or when a build fails.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      default 20
#   FUZZ_TARGETS="book_fuzzer" scripts/fuzz.sh 60
set -euo pipefail

seconds="${1:-20}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(${FUZZ_TARGETS:-book_fuzzer wav_fuzzer})

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_FUZZ=ON -DQUILLET_BUILD_UI=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "${FUZZ_JOBS:-2}"

export SDL_AUDIODRIVER=dummy
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"   # grows while fuzzing; the committed seeds stay untouched
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  seeds="$root/tests/fuzz/corpus/${t%_fuzzer}"
  echo "== $t: ${seconds}s"
  if ! "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$seeds" 2>"$build/$t.log"; then
    echo "!! $t found a problem; last lines of $build/$t.log:" >&2
    tail -n 40 "$build/$t.log" >&2
    ls -l "$findings" >&2
    status=1
  else
    grep -E '^#[0-9]+ +DONE|^stat::number_of_executed_units' "$build/$t.log" || true
  fi
done
exit "$status"
