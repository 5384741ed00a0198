#!/usr/bin/env bash
# The demo: until the builder lands, write the sample application into a payload
# and read every item back.
set -euo pipefail
cd "$(dirname "$0")/.."
build/native/tests/unit_tests --gtest_filter='PayloadRoundTrip.*:PayloadWriter.*' --gtest_brief=1
