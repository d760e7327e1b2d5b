#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (no errors), validates its
# desktop entry and metainfo, installs it, checks that the udev rule, metainfo
# and manual page are in place, starts the installed program on a virtual X
# server, checks that its window appears, then removes the package.
# Needs root (or sudo), xvfb-run and xdotool. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/ensure-packages.sh" dpkg-dev file xdotool lintian appstream desktop-file-utils

if dpkg-query -W -f='${Status}' pelko-configurator 2>/dev/null | grep -q "ok installed"; then
  echo "pelko-configurator is already installed; remove it first so this check can install and remove its own." >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELKO_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/pelko-configurator_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/pelko-configurator_*.deb)
echo "Package: $deb"
dpkg-deb --info "$deb"

# Warnings are listed; an error fails the check.
lintian_log="$build/lintian.log"
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "running with root privileges" | tee "$lintian_log" || true
if grep -q "^E: " "$lintian_log"; then
  echo "lintian found errors in the package" >&2
  exit 1
fi

installed=0
cleanup() {
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq pelko-configurator >/dev/null
    echo "Package removed."
  fi
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
installed=1
for f in /usr/bin/pelko-configurator /usr/bin/pelko-provision \
         /usr/share/applications/pelko-configurator.desktop \
         /usr/share/icons/hicolor/256x256/apps/pelko-configurator.png \
         /usr/share/metainfo/example.halbrook.PelkoConfigurator.metainfo.xml \
         /usr/share/man/man1/pelko-configurator.1.gz /usr/share/man/man1/pelko-provision.1.gz \
         /usr/lib/udev/rules.d/60-pelko-configurator.rules; do
  dpkg -L pelko-configurator | grep -qx "$f" || { echo "missing from the package: $f" >&2; exit 1; }
done
grep -q 'ATTRS{idVendor}=="10c4", ATTRS{idProduct}=="ea60", TAG+="uaccess"' \
  /usr/lib/udev/rules.d/60-pelko-configurator.rules || { echo "the udev rule does not tag the CP210x bridge" >&2; exit 1; }
desktop-file-validate /usr/share/applications/pelko-configurator.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.halbrook.PelkoConfigurator.metainfo.xml
man -l /usr/share/man/man1/pelko-configurator.1.gz >/dev/null
man -l /usr/share/man/man1/pelko-provision.1.gz >/dev/null
# The provisioning tool runs without a display and finds no device here.
pelko-provision --help >/dev/null
[ -z "$(pelko-provision list)" ] || { echo "pelko-provision listed a device on a machine without one" >&2; exit 1; }
if dpkg -L pelko-configurator | grep -q "sim\|tst_\|bench"; then
  echo "the package carries the simulated device, tests or benchmarks" >&2
  exit 1
fi

# Start the installed program and wait up to 15 s for its window. The inner
# script is quoted on purpose: it expands on the virtual X server's side.
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1200x24" bash -c '
  /usr/bin/pelko-configurator &
  app=$!
  found=""
  for _ in $(seq 150); do
    found=$(xdotool search --onlyvisible --name "^Pelko Configurator - v2\.4\.4$" 2>/dev/null || true)
    [ -n "$found" ] && break
    kill -0 $app 2>/dev/null || break
    sleep 0.1
  done
  kill $app 2>/dev/null || true
  wait $app 2>/dev/null || true
  if [ -z "$found" ]; then echo "the installed program showed no window" >&2; exit 1; fi
  echo "Window shown: $(xdotool getwindowname $found 2>/dev/null || echo "Pelko Configurator - v2.4.4")"
'
echo "Package check passed."
