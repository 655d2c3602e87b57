#!/usr/bin/env bash
# Runs one test program (through scripts/wine-run) on a display scaled to
# DPI dots per inch, as a user sets the display's scale: the prefix's
# system DPI (LogPixels) and the scaling version that Windows 8 and later
# keep beside it (DpiScalingVer, under which Wine too tells a program that
# does not declare itself DPI aware 96 DPI). Every program reads them as it
# starts, so they are set before the test program starts and put back when
# it ends, whatever the way; no other test may run meanwhile.
#   at_display_scale.sh DPI PROGRAM [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/wine-env.sh"
dpi=$1
shift
key='HKCU\Control Panel\Desktop'
declare -A before=()
for name in LogPixels DpiScalingVer; do
  before[$name]=$({ wine reg query "$key" /v "$name" 2>/dev/null || true; } | tr -d '\r' | awk -v n="$name" '$1 == n { print $3 }')
done
restore() {
  local name
  for name in LogPixels DpiScalingVer; do
    if [ -n "${before[$name]}" ]; then
      wine reg add "$key" /v "$name" /t REG_DWORD /d "$((before[$name]))" /f >/dev/null 2>&1 || true
    else
      wine reg delete "$key" /v "$name" /f >/dev/null 2>&1 || true
    fi
  done
}
trap restore EXIT
# What Windows 10 keeps there.
wine reg add "$key" /v DpiScalingVer /t REG_DWORD /d 0x1018 /f >/dev/null
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
rc=0
"$here/../scripts/wine-run" "$@" || rc=$?
exit $rc
