#!/usr/bin/env bash
# The stub must not hold a complete start marker: an installer made from it
# would find the marker in its own code instead of its payload.
set -euo pipefail
stub="$1"
for tail in 's>t>a>r>t' 'c>r>y>p>t'; do
  if grep -q -a -F "d>a>t>a>$tail" "$stub"; then
    echo "FAILED: $stub holds the start marker ending in $tail" >&2
    exit 1
  fi
done
echo "$stub: no start marker ($(stat -c %s "$stub") bytes)"
