#!/usr/bin/env bash
# Runs each fuzz target for a bounded time: fuzz.sh SECONDS (per target)
# New crashes land in build/fuzz/findings/TARGET; copy one into the target's
# regression folder with a name that says what it caught.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

run() {
  local target="$1" seeds="$2"; shift 2
  local work="build/fuzz/corpus-$target" findings="build/fuzz/findings/$target"
  mkdir -p "$work" "$findings"
  cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  echo "== $target"
  "build/fuzz/tests/fuzz/$target" "$work" "$@" \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 2>&1 \
    | grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)' || true
  test -z "$(ls -A "$findings")" || { echo "fuzz: findings in $findings" >&2; return 1; }
}

status=0
run payload_fuzz tests/fuzz/corpus tests/fuzz/regressions || status=1
run names_fuzz tests/fuzz/names_corpus tests/fuzz/names_regressions || status=1
run builder_fuzz tests/fuzz/builder_corpus tests/fuzz/builder_regressions || status=1
exit $status
