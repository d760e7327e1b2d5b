#!/usr/bin/env bash
# Builds the libFuzzer targets of the answer decoders with clang into
# build-fuzz/ and runs each one for a bounded time on its seed corpus
# (fuzz/corpus/<target>/). Any crash, sanitizer report, time-out or broken
# check fails the script; the reproducer is left in build-fuzz/fuzz-runs/.
#
#   FUZZ_SECONDS   time per target (default 15)
#   FUZZ_TARGETS   targets to run (default: all fuzz_* targets)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-15}
started=$(date +%s)

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/ensure-packages.sh" clang libclang-rt-14-dev

# The hardening checks run against Qt 5.15 (PELKO_HARDENING_QT), whose
# offscreen platform the leak suppressions know; the plain suite runs under both.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DPELKO_BUILD_FUZZERS=ON -DPELKO_QT_MAJOR="${PELKO_HARDENING_QT:-5}"
cmake --build "$build" --parallel "$(nproc)" --target fuzzers

targets=${FUZZ_TARGETS:-$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')}
runs="$build/fuzz-runs"
mkdir -p "$runs"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan-suppressions.txt:print_suppressions=0"
failed=()
for target in $targets; do
  name=${target#fuzz_}
  work="$runs/$name"
  # A fresh working corpus each run, seeded from the committed one, so the
  # committed files are never touched.
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  log="$work/log.txt"
  status=0
  # The configuration file's target has its leak suppression matched by a Qt
  # function's name, which only the slow unwinder finds in an allocation's stack.
  unwind=1
  [ "$target" = fuzz_configfile ] && unwind=0
  ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=$unwind" "$build/fuzz/$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    "$work/corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
    echo "FAIL $target (exit $status, ${execs:-?} runs); log: $log"
    tail -40 "$log"
    failed+=("$target")
  else
    echo "ok   $target: ${execs:-?} runs in ${seconds} s, no crash"
  fi
done

echo "fuzz-smoke: $(( $(date +%s) - started )) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
