#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
# One program at a time: the tests run on short quiet times, and two window
# tests side by side on a small machine can starve a simulated device's
# thread past one. CTEST_PARALLEL runs them side by side where cores abound.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "${CTEST_PARALLEL:-1}"
