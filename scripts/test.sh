#!/usr/bin/env bash
# Builds everything and runs the tests (the README's test command).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --tests
cmake --preset default -DTARVIK_BUILD_TESTS=ON >/dev/null
cmake --build --preset default
ctest --preset default
