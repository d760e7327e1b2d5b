#!/usr/bin/env bash
# Installs what is needed, builds, starts a simulated Pelko device and opens the
# configurator with the simulated port listed. Extra arguments go to the
# simulator (for example: --release 1.9.1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
work=$(mktemp -d)
ports="$work/ports"
"$build/sim/pelko-device-sim" --ports-file "$ports" --log "$work/wire.log" "$@" &
sim=$!
# The simulator takes its port out of the ports file as it ends: the folder
# goes once it has.
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$ports" ] && break; sleep 0.1; done
echo "Simulated device listed in $ports; wire log in $work/wire.log"
export PELKO_EXTRA_PORTS="$ports"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the window on a virtual X server (xvfb-run)."
  xvfb-run -a "$build/pelko-configurator"
else
  "$build/pelko-configurator"
fi
