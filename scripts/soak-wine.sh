#!/usr/bin/env bash
# Runs the Windows-side suite again and again to find failures that come and
# go: soak-wine.sh RUNS [BUILD]. Every other run has both cores kept busy by
# two spinning shells. SOAK_TESTS, a ctest regular expression, runs only those
# tests (with the prefix and display they need). Prints one line a run and the failures counted per test;
# a failing run's ctest output is kept in BUILD/soak/run-N.log.
set -uo pipefail
runs="${1:?usage: soak-wine.sh RUNS [BUILD]}"
build="${2:-build/win64}"
mkdir -p "$build/soak"
declare -A failures=()
spin() { while :; do :; done; }
for run in $(seq "$runs"); do
  load=idle burners=()
  if (( run % 2 == 0 )); then
    load=loaded
    for _ in 1 2; do spin & burners+=($!); done
  fi
  log="$build/soak/run-$run.log"
  start=$SECONDS
  ctest --test-dir "$build" --output-on-failure ${SOAK_TESTS:+-R "$SOAK_TESTS"} >"$log" 2>&1
  status=$?
  for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log" | tr '\n' ' ')
  for test in $failed; do failures[$test]=$(( ${failures[$test]:-0} + 1 )); done
  echo "run $run ($load, $((SECONDS - start)) s): ${failed:-all passed}"
  [ "$status" -ne 0 ] || rm -f "$log"
done
echo "failures per test over $runs runs:"
for test in "${!failures[@]}"; do echo "  $test: ${failures[$test]}"; done
