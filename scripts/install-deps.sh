#!/usr/bin/env bash
# Debian 12 packages needed to build, run and test the configurator.
set -euo pipefail
bash "$(dirname "$0")/ensure-packages.sh" cmake ninja-build g++ ccache qtbase5-dev libqt5serialport5-dev \
  qttools5-dev-tools xvfb xauth
