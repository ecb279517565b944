#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fast tests pass however busy the machine is: `ctest -LE slow -j2` in BUILD, RUNS times in
# a row, with two CPU-bound processes beside them the whole time. Prints each run's time and
# the slowest test against its timeout; stops at the first failing run.
#   scripts/steady.sh [BUILD] [RUNS]   (build, 5)
set -uo pipefail
build="${1:-build}"
runs="${2:-5}"
cd "$build" || exit 2
hogs=()
end_hogs() { [ ${#hogs[@]} -eq 0 ] || kill "${hogs[@]}" 2>/dev/null; }
trap 'end_hogs; rm -f tests.json' EXIT
trap 'exit 1' INT TERM HUP
for _ in 1 2; do
  sh -c 'while :; do :; done' &
  hogs+=($!)
done
for run in $(seq "$runs"); do
  start=$SECONDS
  ctest -LE slow -j2 --output-on-failure >"steady-$run.log" 2>&1
  rc=$?
  echo "run $run of $runs: $((SECONDS - start)) s, $(grep -E 'tests passed|tests failed' "steady-$run.log")"
  # The slowest test of the run, with its timeout.
  ctest --show-only=json-v1 -LE slow >tests.json 2>/dev/null
  python3 - "steady-$run.log" tests.json <<'PY'
import json, re, sys
times = [(float(m.group(2)), m.group(1)) for m in
         re.finditer(r"Test +#\d+: (\S+) \.+.*?([\d.]+) sec", open(sys.argv[1]).read())]
timeouts = {t["name"]: next((p["value"] for p in t.get("properties", []) if p["name"] == "TIMEOUT"), None)
            for t in json.load(open(sys.argv[2]))["tests"]}
if times:
    took, name = max(times)
    print(f"  slowest: {name} {took:.1f} s of its timeout {timeouts.get(name)} s")
PY
  [ "$rc" -eq 0 ] || { tail -40 "steady-$run.log"; exit 1; }
done
