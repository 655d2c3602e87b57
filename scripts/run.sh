#!/usr/bin/env bash
# Builds the programs and starts the image editor under Wine with a sample
# picture: on the user's display ($DISPLAY) until the user closes it, or,
# with no display, on a virtual one, where it takes a screenshot, says where
# it is, and stops what it started.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_build

out="$build/run"
mkdir -p "$out"
sample="$out/sample.png"
python3 scripts/sample_image.py "$sample"
# Wine sees the Linux file system as drive Z:. Forward slashes: the
# editor's command line reads a backslash outside quotes as an escape.
sample_win="Z:$sample"
editor="$build/bin/vomla.exe"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting the editor on $DISPLAY with $sample; close its window to end."
  exec wine "$editor" "$sample_win" -x-1 -y-1
fi

# A wineserver that already runs for the prefix belongs to somebody else
# (a test run, say) and is left alone.
own_server=1
norpa_prefix_server_running && own_server=0

scratch=$(mktemp -d)
xvfb_pid=""
editor_pid=""
cleanup() {
  [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
  [ "$own_server" = 1 ] && { wineserver -k 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

norpa_start_display 1280x800 "$scratch"

NORPA_RUN_LIMIT=120 scripts/wine-run "$editor" "$sample_win" -x-1 -y-1 >"$out/vomla.log" 2>&1 &
editor_pid=$!

# The title names the picture once the view has it.
window=""
for _ in $(seq 300); do
  window=$(xdotool search --name 'sample.png' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "The editor's window did not come up; its output is in $out/vomla.log" >&2
  exit 1
fi
sleep 1.5  # let it paint
shot="$out/vomla-screenshot.png"
import -window root "$shot"

# An unmodified picture closes without a question; taskkill without /f
# asks the editor's window to close as its close box would.
wine taskkill /im vomla.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
wait "$editor_pid" 2>/dev/null || true
editor_pid=""

echo
echo "No display: the editor ran on a virtual display ($DISPLAY) with $sample."
echo "Screenshot: $shot"
