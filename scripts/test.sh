#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a private Xvfb display.
# Starts what it needs and stops what it started, also on failure; fails
# when the tests leave files, registry keys or processes behind.
set -euo pipefail
trap 'echo "test.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_test_session 1280x1024
norpa_footprint | sort >"$scratch/footprint.before"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600

# The tests' shared registry root outlives each test program (deleting it
# while another creates its key below it would break that one); with every
# test ended, an empty root goes. A key left below it keeps it, and shows.
root='HKCU\Software\NorpaTest'
if below=$(wine reg query "$root" /s 2>/dev/null); then
  # Wine lists an empty key as nothing at all, one with content by its
  # values and subkeys under their paths.
  if [ -z "$(printf '%s\n' "$below" | tr -d '\r' | grep -v '^$' | grep -vix 'HKEY_CURRENT_USER\\Software\\NorpaTest')" ]; then
    wine reg delete "$root" /f >/dev/null 2>&1 || true
  fi
fi

# Every test cleans up after itself: files, folders and registry keys that
# were not there before are a failure. (That no process of the run is left
# is checked when the session ends.)
norpa_footprint | sort >"$scratch/footprint.after"
left=$(comm -13 "$scratch/footprint.before" "$scratch/footprint.after")
if [ -n "$left" ]; then
  echo "test.sh: the tests left behind:" >&2
  echo "$left" >&2
  exit 1
fi
