#!/usr/bin/env bash
# Builds everything and runs one benchmark program under Wine on a virtual
# display of each size given (default 1920x1080), one display after the
# other, and stops what it started:
#
#   bash scripts/bench.sh norpa_capture_bench 1920x1080 3840x2160
#   bash scripts/bench.sh norpa_startup_bench
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
[ $# -ge 1 ] || { echo "usage: bash scripts/bench.sh NAME [WIDTHxHEIGHT ...]" >&2; exit 2; }
name=$1
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080)

source scripts/common.sh
norpa_build

norpa_own_session

for size in "${sizes[@]}"; do
  norpa_start_display "$size" "$scratch"
  wineserver -p >/dev/null 2>&1 || true
  scripts/wine-run "$build/bin/$name.exe"
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  rm -f "$scratch/display"
done
