#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
# The tests are independent of each other (each device has its own
# pseudo-terminal and ports file) and mostly wait for quiet times, so they
# run side by side.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "${CTEST_PARALLEL:-$(nproc)}"
