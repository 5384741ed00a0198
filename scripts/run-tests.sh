#!/usr/bin/env bash
# Runs every suite through ctest: native, sanitizers, then Windows under wine64.
# Exits non-zero when any suite fails, after running them all.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
run() {
  local name="$1"; shift
  echo "== $name"
  ctest --test-dir "build/$name" --output-on-failure "$@" || status=1
}
run native -j "$(nproc)"
run asan -j "$(nproc)"
run win64
exit $status
