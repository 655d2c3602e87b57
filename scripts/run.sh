#!/usr/bin/env bash
# Builds the programs and starts the capture toolbar under Wine: on the
# user's display ($DISPLAY) until the user exits it from its menu, or, with
# no display, on a virtual one, where it opens a sample picture in the
# editor, starts the toolbar twice (the second start wakes the first, which
# shows its balloon), takes a screenshot, says where it is, and stops what
# it started.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_build

out="$build/run"
mkdir -p "$out"
toolbar="$build/bin/norpa.exe"
editor="$build/bin/vomla.exe"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting the capture toolbar on $DISPLAY: Ctrl+F2 or its button captures;"
  echo "its menu button (the arrow) has the options and Exit."
  exec wine "$toolbar"
fi

# A wineserver that already runs for the prefix belongs to somebody else
# (a test run, say) and is left alone.
own_server=1
norpa_prefix_server_running && own_server=0

scratch=$(mktemp -d)
xvfb_pid=""
toolbar_pid=""
editor_pid=""
cleanup() {
  if [ -n "$toolbar_pid$editor_pid" ]; then
    wine taskkill /f /im norpa.exe >/dev/null 2>&1 || true
    wine taskkill /f /im vomla.exe >/dev/null 2>&1 || true
    wait $toolbar_pid $editor_pid 2>/dev/null || true
  fi
  [ "$own_server" = 1 ] && { wineserver -k 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

norpa_start_display 1280x800 "$scratch"

# Wait for an X window by a search of xdotool's (its arguments); its id.
wait_for_window() {
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search "$@" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

# The sample picture in the editor, started as the toolbar starts it (the
# editor centres its window for -1, -1). Wine sees the Linux file system as
# drive Z:; forward slashes, since the editor's command line reads a
# backslash outside quotes as an escape.
sample="$out/sample.png"
python3 scripts/sample_image.py "$sample"
NORPA_RUN_LIMIT=120 scripts/wine-run "$editor" "Z:$sample" -x-1 -y-1 >"$out/vomla.log" 2>&1 &
editor_pid=$!
if ! wait_for_window --name 'sample.png' >/dev/null; then
  echo "The editor's window did not come up; its output is in $out/vomla.log" >&2
  exit 1
fi

NORPA_RUN_LIMIT=120 scripts/wine-run "$toolbar" >"$out/norpa.log" 2>&1 &
toolbar_pid=$!

# Wine names the toolbar's X window after the program.
if ! wait_for_window --classname 'norpa.exe' >/dev/null; then
  echo "The toolbar did not come up; its output is in $out/norpa.log" >&2
  exit 1
fi
sleep 1
# A second start ends at once and makes the first one say it is running.
wine "$toolbar" >/dev/null 2>&1 || true
sleep 1.5
shot="$out/norpa-screenshot.png"
import -window root "$shot"

echo
echo "No display: the toolbar ran on a virtual display ($DISPLAY), in its"
echo "bottom-right corner, beside the editor with $sample;"
echo "a second start of the toolbar showed its balloon."
echo "Screenshot: $shot"
