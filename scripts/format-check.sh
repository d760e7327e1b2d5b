#!/usr/bin/env bash
# Fails when a C++ source does not follow .clang-format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/ensure-packages.sh" clang-format
cd "$root"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format-check: $(git ls-files '*.cpp' '*.h' | wc -l) files follow .clang-format"
