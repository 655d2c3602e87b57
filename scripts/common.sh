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

# The set-up of scripts that run the tests' programs: everything built, a
# session of their own (norpa_own_session) on a virtual display of the given
# size (WIDTHxHEIGHT), and one persistent wineserver for the whole run: each
# Wine start then costs well under a second. A server that still runs for
# the prefix (a program that just ended) is made persistent instead.
norpa_test_session() {
  norpa_build
  norpa_own_session
  norpa_start_display "$1" "$scratch"
  wineserver -p >/dev/null 2>&1 || true
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
# ($scratch), a mark in the environment of every process they start
# (NORPA_SESSION, inherited by Wine's processes, servers and Xvfb alike), and
# an exit trap that ends the session (norpa_end_session) and fails the
# script, also one that failed already, when a process it started was still
# running.
norpa_own_session() {
  scratch=$(mktemp -d)
  xvfb_pid=""
  export NORPA_SESSION="$$.$(date +%s%N)"
  trap 'norpa_exit_session $?' EXIT
}
norpa_exit_session() {
  local rc=$1
  norpa_end_session
  [ -n "$session_left" ] && rc=1
  exit "$rc"
}
# Ends the wineserver and the Xvfb the session started (xvfb_pid), removes
# its folder, then names and ends every process of the session still
# running; their ids are left in session_left ("" when none was).
norpa_end_session() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
  # Processes killed a moment ago may take that moment to go.
  for _ in $(seq 50); do
    session_left=$(norpa_session_processes)
    [ -z "$session_left" ] && break
    sleep 0.1
  done
  if [ -n "$session_left" ]; then
    echo "left running by this run (now ended):" >&2
    local pid
    for pid in $session_left; do
      echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
      kill -9 "$pid" 2>/dev/null || true
    done
  fi
}

# The ids of the live processes that carry this session's mark, the
# script's own shell and the subshell that asks excepted. Read without
# starting a process, which would carry the mark too.
norpa_session_processes() {
  local dir pid entry
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    [ "$pid" = "$$" ] || [ "$pid" = "$BASHPID" ] && continue
    while IFS= read -r -d '' entry; do
      if [ "$entry" = "NORPA_SESSION=$NORPA_SESSION" ]; then
        echo "$pid"
        break
      fi
    done 2>/dev/null <"$dir/environ" || true
  done
}

# What tests might leave in the prefix, one line each: the files and folders
# of the user's temporary, documents and Startup folders, and the product's
# and the tests' registry keys with their values. The prefix's own set-up is
# left out, so two runs compare line by line.
norpa_footprint() {
  local users="$WINEPREFIX/drive_c/users" key
  find "$users"/*/Temp "$users"/*/Documents "$users"/*/AppData/Roaming/Microsoft/Windows/'Start Menu'/Programs/Startup \
    -mindepth 1 2>/dev/null | sed 's/^/file /' || true
  for key in NorpaSoft NorpaTest; do
    if wine reg query "HKCU\\Software\\$key" >/dev/null 2>&1; then
      # Each value after its key's path, so that the sorted lines still say
      # where they belong.
      wine reg query "HKCU\\Software\\$key" /s 2>/dev/null | tr -d '\r' |
        awk -v top="HKEY_CURRENT_USER\\Software\\$key" 'BEGIN { key = top; print "registry " top }
          /^HKEY_/ { key = $0; print "registry " key; next } NF { print "registry " key ":" $0 }' | sort -u
    fi
  done
}
