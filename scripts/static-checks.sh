#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source under src/, with
# the compile commands of a clang configuration in build-tidy/. Any finding
# fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-tidy}
started=$(date +%s)

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/ensure-packages.sh" clang clang-tidy

# The hardening checks run against Qt 5.15 (PELKO_HARDENING_QT), whose
# offscreen platform the leak suppressions know; the plain suite runs under both.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DPELKO_BUILD_TESTS=OFF \
  -DPELKO_QT_MAJOR="${PELKO_HARDENING_QT:-5}"
# The sources include the generated form and meta-object code.
cmake --build "$build" --parallel "$(nproc)" --target pelko_core_autogen pelko_app_autogen

mapfile -t sources < <(cd "$root" && find src -name '*.cpp' | sort)
log="$build/clang-tidy.log"
status=0
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${sources[@]/#/$root/}" 2>&1 \
  | sed 's/\x1b\[[0-9;]*m//g' >"$log" || status=$?
# Show the findings without the per-file command lines.
grep -E '(warning|error): ' "$log" | sort -u || true
findings=$(grep -cE '(warning|error): ' "$log" || true)
echo "static-checks: ${findings:-0} findings in ${#sources[@]} files, $(( $(date +%s) - started )) s"
if [ "$status" -ne 0 ] || [ "${findings:-0}" -ne 0 ]; then
  echo "full output: $log"
  exit 1
fi
