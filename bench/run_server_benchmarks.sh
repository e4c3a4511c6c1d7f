#!/usr/bin/env bash
# Builds tarvik-server and the two server benchmarks, then runs them one after the other:
#   bench_search   the 10,000-row stock search, tarvik against PostgreSQL over libpq (needs the postgresql
#                  package to run the reference; without it the reference is skipped with a message)
#   bench_load     100 clients running a mixed load for 30 s
# Arguments are passed to bench_load (e.g. --seconds 10 --clients 50). BUILD_DIR picks the build folder
# (default: build, configured with the default preset when it does not exist yet).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake --preset default -DTARVIK_BUILD_TESTS=OFF -B "$build"
fi
targets=(tarvik-server bench_load)
if cmake --build "$build" --target help | grep -q '^bench_search:'; then
  targets+=(bench_search)
else
  echo "SKIP bench_search: libpq was not found when the build was configured (Debian: libpq-dev)"
fi
cmake --build "$build" -j2 --target "${targets[@]}"

echo "== machine"
uname -srm
grep -m1 'model name' /proc/cpuinfo || true
echo "cores: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"

if [[ -x "$build/bench/bench_search" && " ${targets[*]} " == *" bench_search "* ]]; then
  echo "== bench_search"
  "$build/bench/bench_search"
fi
echo "== bench_load $*"
"$build/bench/bench_load" "$@"
