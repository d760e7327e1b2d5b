#!/usr/bin/env bash
# Debian 12 packages needed to build, run and test the configurator.
set -euo pipefail
packages=(cmake ninja-build g++ ccache qtbase5-dev libqt5serialport5-dev qttools5-dev-tools xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
