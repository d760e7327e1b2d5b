#!/usr/bin/env bash
# Takes the pictures of the README: builds if needed, starts a simulated
# device and the configurator on a virtual X server, connects, reads the
# device's parameters, and saves one picture per tab under docs/ (or the
# directory given as first argument): the window at its own size on a
# 1280x1200 screen, then the whole screen of a 1366x768 laptop
# (laptop-*.png), where the window opens shorter to fit; one of a site's
# file loaded over the device, its changes marked, and the Calculator tab
# filled from it (calculator-site.png); one of a command typed on the
# Tools tab with its answer (tools-typed.png); one of Load refusing a file;
# and, before connecting, one of a form prepared for firmware 2.1.1
# (prepared.png). Each picture is checked to show the tab it is named after
# (the program's own trace of the tab shown) and to differ from the others.
# Needs xvfb-run, xdotool and ImageMagick's import and compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$root/docs}

if [ -z "${PELKO_SCREENSHOTS_ON_XVFB:-}" ]; then
  bash "$root/scripts/install-deps.sh"
  bash "$root/scripts/ensure-packages.sh" xdotool imagemagick
  if [ ! -x "$build/pelko-configurator" ] || [ ! -x "$build/sim/pelko-device-sim" ]; then
    BUILD_DIR="$build" bash "$root/scripts/build.sh"
  fi
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  export PELKO_SCREENSHOTS_ON_XVFB=1 BUILD_DIR="$build"
  xvfb-run -a -s "-screen 0 1280x1200x24" bash "$0" "$out" "" window
  exec xvfb-run -a -s "-screen 0 1366x768x24" bash "$0" "$out" laptop- root
fi
prefix=$2
grab=$3

work=$(mktemp -d)
pids=()
cleanup() {
  local status=$?
  if [ "$status" -ne 0 ] && [ -s "$work/app.log" ]; then
    echo "last lines of the configurator's debug output:" >&2
    tail -n 20 "$work/app.log" >&2
  fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Prints the id of the first visible window whose name matches $1, waiting up
# to $2 tenths of a second; fails if none appears.
wait_window() {
  local id=""
  for _ in $(seq "$2"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window named '$1' appeared" >&2
  return 1
}

# Clicks at a point given relative to the main window's top-left corner.
click() {
  xdotool mousemove --window "$win" "$1" "$2" click 1
  sleep 0.5
}

"$build/sim/pelko-device-sim" --ports-file "$work/ports" --log "$work/wire.log" >/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/ports" ] && break; sleep 0.1; done
[ -s "$work/ports" ] || { echo "the simulated device did not start" >&2; exit 1; }

PELKO_EXTRA_PORTS="$work/ports" "$build/pelko-configurator" >"$work/app.log" 2>&1 &
pids+=($!)
win=$(wait_window "^Pelko Configurator - v" 100)
sleep 1
read -r width height < <(xdotool getwindowgeometry --shell "$win" | awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w, h}')

# Before any device: the form prepared for a release, chosen in the list at
# the left end of the bottom row (the fourth entry, under "Prepare for..."
# and the newer releases, is 2.1.1). One picture, at the window's own size.
if [ "$grab" = window ]; then
  click 40 $((height - 24))
  xdotool key Down Down Down Return
  sleep 0.5
  if ! grep -q "^Preparing for firmware 2.11$" "$work/app.log"; then
    echo "the form could not be prepared for firmware 2.1.1" >&2
    exit 1
  fi
  import -window "$win" -strip +dither -colors 64 "PNG8:$out/prepared.png"
  echo "saved $out/prepared.png"
fi

# "Connection" is the left one of the two buttons right of that list.
click $((width / 4)) $((height - 24))
box=$(wait_window "^(Information|Error [0-9]+)$" 150)
if [ "$(xdotool getwindowname "$box")" != "Information" ]; then
  echo "the connection failed: $(xdotool getwindowname "$box")" >&2
  exit 1
fi
xdotool windowfocus --sync "$box" key Return
sleep 0.5

# The tab the program shows, as its debug output last told it.
tab_shown() {
  sed -n 's/^Tab shown: //p' "$work/app.log" | tail -n1
}

# Shows a tab from the keyboard (Ctrl+Tab steps to the next one, whatever
# the fonts make of the tab bar's size) and fails unless the program says
# it shows that tab.
show_tab() {
  for _ in 1 2 3 4 5; do
    [ "$(tab_shown)" = "$1" ] && return 0
    xdotool key ctrl+Tab
    sleep 0.5
  done
  echo "the $1 tab could not be shown (the program shows '$(tab_shown)')" >&2
  exit 1
}

# The window opens on the Algos tab, with "Read" at its top left; the click
# also puts the keyboard focus inside the tabs.
read_y=275
click 50 $read_y
if ! grep -q "DUMP RAM PARAM" "$work/wire.log" ||
  xdotool search --onlyvisible --name "^Error [0-9]+$" >/dev/null 2>&1; then
  echo "reading the device's parameters failed" >&2
  exit 1
fi

shots=()
shoot() {
  show_tab "$1"
  if [ "$grab" = root ]; then target=root; else target=$win; fi
  # 64 colours without dithering keep the text sharp and the files small.
  import -window "$target" -strip +dither -colors 64 "PNG8:$out/$prefix$2.png"
  for other in "${shots[@]}"; do
    if compare -metric AE "$other" "$out/$prefix$2.png" null: 2>/dev/null; then
      echo "$out/$prefix$2.png shows the same as $other" >&2
      exit 1
    fi
  done
  shots+=("$out/$prefix$2.png")
  echo "saved $out/$prefix$2.png"
}
shoot Algos algos
shoot LoRa lora
shoot Calculator calculator
shoot Tools tools

# A command typed on the Tools tab, and the device's answer in the console
# above it: the command line sits at the foot of the tab, above the progress
# bar. One picture, at the window's own size.
if [ "$grab" = window ]; then
  show_tab Tools
  click $((width / 3)) $((height - 100))
  xdotool type --delay 20 "BATTERY GET LIFE"
  xdotool key Return
  sleep 1
  if ! grep -q "BATTERY GET LIFE" "$work/wire.log"; then
    echo "the typed command did not reach the device (the command line was not where it was clicked)" >&2
    exit 1
  fi
  import -window "$win" -strip +dither -colors 64 "PNG8:$out/tools-typed.png"
  echo "saved $out/tools-typed.png"
fi

# A site's file loaded over what the device holds: the fields Start would
# change are marked, and counted beside the progress bar. One picture, at the
# window's own size.
if [ "$grab" = window ]; then
  cat >"$work/site.json" <<'JSON'
{"format": "Pelko configuration", "version": 1,
 "algorithms": ["ALIVE", "SHOCK"],
 "ALIVE": {"period": 1800},
 "SHOCK": {"gxSup": 5000}}
JSON
  show_tab Algos
  click $((width * 72 / 100)) $read_y
  dialog=$(wait_window "^Load a configuration$" 50)
  xdotool windowfocus --sync "$dialog" type "$work/site.json"
  xdotool key Return
  sleep 1
  if xdotool search --onlyvisible --name "^Error" >/dev/null 2>&1; then
    echo "loading the site's file failed" >&2
    exit 1
  fi
  import -window "$win" -strip +dither -colors 64 "PNG8:$out/marks.png"
  echo "saved $out/marks.png"
  # The Calculator tab filled from that form: the lifetime of what the device
  # holds beside the form's. "From the configuration" is left of "Calculate".
  show_tab Calculator
  click 95 $((height - 92))
  import -window "$win" -strip +dither -colors 64 "PNG8:$out/calculator-site.png"
  echo "saved $out/calculator-site.png"
fi

# Load refusing a file, with the window behind its dialog: one picture, at the
# window's own size.
if [ "$grab" = window ]; then
  cat >"$work/north-site.json" <<'JSON'
{"format": "Pelko configuration", "version": 1,
 "algorithms": ["SHOCK", "MOTION", "TILT"],
 "ALIVE": {"period": "two hours"},
 "SHOCK": {"gxSup": 99999, "colour": "red"}}
JSON
  show_tab Algos
  # "Load" stands right of the tab's title, left of "Save".
  click $((width * 72 / 100)) $read_y
  dialog=$(wait_window "^Load a configuration$" 50)
  xdotool windowfocus --sync "$dialog" type "$work/north-site.json"
  xdotool key Return
  wait_window "^Error$" 50 >/dev/null
  sleep 0.5
  import -window root -crop "${width}x${height}+0+0" -strip +dither -colors 64 "PNG8:$out/load-refused.png"
  echo "saved $out/load-refused.png"
fi
