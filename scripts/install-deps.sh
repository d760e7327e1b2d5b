#!/usr/bin/env bash
# Debian 12 packages needed to build, run and test the configurator, against
# Qt 6 (the default) and Qt 5.15.
set -euo pipefail
bash "$(dirname "$0")/ensure-packages.sh" cmake ninja-build g++ ccache qtbase5-dev libqt5serialport5-dev \
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev \
  qttools5-dev-tools xvfb xauth
