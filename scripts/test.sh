#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a private Xvfb display.
# Starts what it needs and stops what it started, also on failure.
set -euo pipefail
trap 'echo "test.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

bash scripts/setup.sh
source scripts/wine-env.sh

build="$repo/build"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build"

scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")"

# One persistent wineserver for the whole run: each Wine start then costs
# well under a second. A server that still runs for the prefix (a program
# that just ended) is made persistent instead.
wineserver -p >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
