#!/usr/bin/env bash
# Runs the payload fuzz target for a bounded time: fuzz.sh SECONDS
# New crashes land in build/fuzz/findings; copy one into tests/fuzz/regressions
# with a name that says what it caught.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
work=build/fuzz/corpus
mkdir -p "$work" build/fuzz/findings
cp -n tests/fuzz/corpus/* "$work"/ 2>/dev/null || true
build/fuzz/tests/fuzz/payload_fuzz "$work" tests/fuzz/regressions \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 2>&1 \
  | grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)' || true
test -z "$(ls -A build/fuzz/findings)" || { echo "fuzz: findings in build/fuzz/findings" >&2; exit 1; }
