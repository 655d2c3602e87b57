#!/usr/bin/env bash
# Builds the programs and starts the capture toolbar under Wine, on the
# user's display ($DISPLAY) or, with none, on a virtual one.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

bash scripts/setup.sh
source scripts/wine-env.sh
build="$repo/build"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build"

if [ ! -f "$build/bin/norpa.exe" ]; then
  echo
  echo "Built the library, its tests and benchmarks into $build/bin."
  echo "There is no program to start yet: the toolbar (norpa.exe) and the editor"
  echo "(vomla.exe) are still to be written."
  exit 0
fi
