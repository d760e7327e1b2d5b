#!/usr/bin/env bash
# Fails when a C++ source does not follow .clang-format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v clang-format >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq clang-format
fi
cd "$root"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format-check: $(git ls-files '*.cpp' '*.h' | wc -l) files follow .clang-format"
