#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a private Xvfb display.
# Starts what it needs and stops what it started, also on failure.
set -euo pipefail
trap 'echo "test.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_build

norpa_own_session

norpa_start_display 1280x1024 "$scratch"

# One persistent wineserver for the whole run: each Wine start then costs
# well under a second. A server that still runs for the prefix (a program
# that just ended) is made persistent instead.
wineserver -p >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
