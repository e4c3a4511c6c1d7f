#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, build-fuzz/) and runs each for SECONDS (default 20)
# on a copy of its seed corpus in a temporary directory; nothing is written into the source tree.
# Exits non-zero when a target finds a crash, a leak, a timeout or runs out of memory; the offending
# inputs and the logs are then kept in the temporary directory, whose path is printed.
#
#   tests/fuzz/run.sh [SECONDS]
#
# Environment: TARVIK_FUZZ_TARGETS="fuzz_frames fuzz_table" runs only those targets.
# Needs clang, libclang-rt-14-dev (libFuzzer and the sanitizer runtimes), qt6-base-dev, libsimdjson-dev.
set -euo pipefail

seconds="${1:-20}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [[ "$seconds" -lt 1 ]]; then
  echo "usage: $0 [SECONDS]   (SECONDS: a whole number of seconds per target, default 20)" >&2
  exit 2
fi

cd "$(dirname "$0")/../.."
root=$PWD
fuzzdir="$root/tests/fuzz"
read -r -a targets <<<"${TARVIK_FUZZ_TARGETS:-fuzz_frames fuzz_unmarshal fuzz_table fuzz_result}"

if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: install clang and libclang-rt-14-dev (scripts/deps.sh --tests)" >&2
  exit 2
fi

echo "== building the fuzz targets (build-fuzz/)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-fuzz.XXXXXX")
keep=0
cleanup() {
  if [[ $keep -eq 0 ]]; then rm -rf "$work"; fi
}
trap cleanup EXIT

# Leaks count as findings; UB is fatal anyway (-fno-sanitize-recover), but print its stack.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
summary=()
for t in "${targets[@]}"; do
  bin="$root/build-fuzz/tests/fuzz/$t"
  if [[ ! -x "$bin" ]]; then
    echo "$t: not built ($bin)" >&2
    exit 2
  fi
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
  if [[ -d "$fuzzdir/corpus/$t" ]]; then
    cp -R "$fuzzdir/corpus/$t/." "$work/$t/corpus/"
  fi
  log="$work/$t/log.txt"
  echo "== $t: ${seconds} s"
  status=0
  # -timeout: one input taking this long is reported as a hang.
  (cd "$work/$t" && "$bin" \
      -max_total_time="$seconds" \
      -max_len=65536 \
      -timeout=25 \
      -rss_limit_mb=2560 \
      -dict="$fuzzdir/wire.dict" \
      -artifact_prefix="$work/$t/artifacts/" \
      -print_final_stats=1 \
      "$work/$t/corpus") >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n1 || true)
  # crash-, leak-, timeout-, oom- files are findings; slow-unit- files (over 10 s) are only reported.
  artifacts=$(find "$work/$t/artifacts" -type f ! -name 'slow-unit-*' | sort)
  slow=$(find "$work/$t/artifacts" -type f -name 'slow-unit-*' | sort)
  if [[ -n "$slow" ]]; then
    keep=1
    echo "-- $t: inputs slower than 10 s (kept): $slow" >&2
  fi
  if [[ $status -ne 0 || -n "$artifacts" ]]; then
    failed+=("$t")
    summary+=("$t: FAILED (exit $status) after ${execs:-?} executions")
    echo "-- $t failed (exit $status); end of its log:" >&2
    tail -n 60 "$log" >&2
    if [[ -n "$artifacts" ]]; then
      echo "-- inputs kept:" >&2
      echo "$artifacts" >&2
    fi
  else
    summary+=("$t: ok, ${execs:-?} executions in ${seconds} s (${cov:-no coverage line})")
  fi
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -ne 0 ]]; then
  keep=1
  echo "findings in: ${failed[*]}; logs and inputs kept in $work" >&2
  echo "reproduce with: build-fuzz/tests/fuzz/<target> <input file>" >&2
  exit 1
fi
