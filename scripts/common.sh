# Sourced by run.sh and test.sh: the steps both take.

norpa_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs what is missing, then configures and builds everything into
# $build (the folder build/ of the checkout).
norpa_build() {
  bash "$norpa_repo/scripts/setup.sh"
  source "$norpa_repo/scripts/wine-env.sh"
  build="$norpa_repo/build"
  cmake -S "$norpa_repo" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$norpa_repo/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$build"
}

# Starts Xvfb on a free display of the given size (WIDTHxHEIGHT), sets
# xvfb_pid and exports DISPLAY. scratch: a folder of the caller's.
norpa_start_display() {
  local size=$1 scratch=$2
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
  [ -s "$scratch/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$scratch/display")"
}

# Whether a wineserver runs for $WINEPREFIX, asked of wineserver itself: it
# finds the prefix's server as every Wine process does, and -w waits while
# one runs.
norpa_prefix_server_running() {
  local rc=0
  timeout 1 wineserver -w >/dev/null 2>&1 || rc=$?
  [ "$rc" = 124 ]
}

# For scripts that start their own display and wineserver: a scratch folder
# ($scratch) and an exit trap that ends the wineserver, the Xvfb they
# started (xvfb_pid) and removes the folder, also on failure.
norpa_own_session() {
  scratch=$(mktemp -d)
  xvfb_pid=""
  trap norpa_end_session EXIT
}
norpa_end_session() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
