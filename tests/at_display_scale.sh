#!/usr/bin/env bash
# Runs one test program (through scripts/wine-run) on a display at DPI: the
# prefix's LogPixels and the DpiScalingVer that Windows 8 and later keep
# (with it Wine too tells programs that are not DPI aware 96 DPI), set before
# it starts, removed when it ends; the DPI also in NORPA_DISPLAY_DPI. Wine's
# output goes nowhere: helpers of a first Wine start would hold a pipe open.
#   at_display_scale.sh DPI PROGRAM [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/wine-env.sh"
key='HKCU\Control Panel\Desktop'
remove() { for name in LogPixels DpiScalingVer; do wine reg delete "$key" /v "$name" /f >/dev/null 2>&1 || true; done; }
trap remove EXIT
wine reg add "$key" /v DpiScalingVer /t REG_DWORD /d 0x1018 /f >/dev/null 2>&1
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
export NORPA_DISPLAY_DPI=$1
shift
"$here/../scripts/wine-run" "$@"
