#!/usr/bin/env bash
# Builds everything and runs the benchmarks under Wine, each with what it
# needs (a virtual display of the right size, the local HTTP server, the
# fake upload server), then prints one table: every figure, its goal and
# whether it meets it (scripts/bench_table.py).
#
#   bash scripts/bench.sh                  every benchmark
#   bash scripts/bench.sh NAME [WxH ...]   one, on a display of each size
#                                          given (default 1920x1080)
#
# Each benchmark's own text goes to build/bench-results/NAME-WxH.log, the
# table to build/bench-results/table.txt. Every Xvfb, wineserver and server
# it starts is stopped when it ends, also on failure or Ctrl+C. It exits
# non-zero when a benchmark failed or printed no figures; a missed goal is a
# figure in the table, not a failure of the command.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

# Every benchmark with the display size it runs on, in the order they run.
# The capture is measured at both sizes its goals name; the editor's start
# on a 4K display, where its 4K picture is painted whole.
every_run=(
  "1920x1080 kesh_string_bench"
  "1920x1080 kesh_xml_bench"
  "1920x1080 editor_bench"
  "1920x1080 editor_save_bench"
  "1920x1080 httpclient_bench"
  "1920x1080 upload_bench"
  "1920x1080 norpa_startup_bench"
  "1920x1080 norpa_capture_bench"
  "3840x2160 vomla_startup_bench"
  "3840x2160 norpa_capture_bench"
)

runs=()
if [ $# -eq 0 ]; then
  runs=("${every_run[@]}")
else
  name=$1
  shift
  [ $# -gt 0 ] || set -- 1920x1080
  for size in "$@"; do runs+=("$size $name"); done
fi

source scripts/common.sh
norpa_build

# The benchmarks need the prefix to themselves: another program on the
# same wineserver (a test run) would disturb the figures, and the end of
# this run stops the server.
if norpa_prefix_server_running; then
  echo "bench.sh: a wineserver already runs for $WINEPREFIX (a test run, or one left over:" >&2
  echo "  WINEPREFIX=$WINEPREFIX wineserver -k  ends it)" >&2
  exit 1
fi

out="$build/bench-results"
rm -rf "$out"
mkdir -p "$out"
: >"$out/runs"

# Benchmarks run as background jobs in their own process group, so that an
# interrupted run can end the job with its servers; wineserver -k ends the
# Windows programs under them.
set -m
job=""
norpa_own_session
end_bench_session() {
  if [ -n "$job" ]; then
    kill -TERM -- "-$job" 2>/dev/null || true
  fi
  norpa_end_session
  if [ -n "$job" ]; then
    wait "$job" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap end_bench_session EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs benchmark NAME with the servers it needs.
run_bench() {
  local exe="$build/bin/$1.exe"
  case $1 in
    httpclient_bench) python3 tests/servers/http_test_server.py -- scripts/wine-run "$exe" ;;
    upload_bench) bash tests/with_upload_server.sh "$exe" ;;
    *) scripts/wine-run "$exe" ;;
  esac
}

start_display() {
  norpa_start_display "$1" "$scratch"
  wineserver -p >/dev/null 2>&1 || true
  display_size=$1
}

stop_display() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
  rm -f "$scratch/display"
}

display_size=""
for run in "${runs[@]}"; do
  read -r size name <<<"$run"
  [ -x "$build/bin/$name.exe" ] || { echo "bench.sh: no benchmark $name (build/bin/$name.exe)" >&2; exit 2; }
  if [ "$size" != "$display_size" ]; then
    [ -n "$display_size" ] && stop_display
    start_display "$size"
  fi
  log="$out/$name-$size.log"
  echo "bench.sh: $name on $size ..." >&2
  rc=0
  run_bench "$name" >"$log" 2>&1 &
  job=$!
  wait "$job" || rc=$?
  job=""
  printf '%s\t%s\t%s\t%s\n' "$name" "$size" "$rc" "$log" >>"$out/runs"
  [ ${#runs[@]} -gt 1 ] || cat "$log"
done
stop_display

echo
table_rc=0
python3 scripts/bench_table.py "$out/runs" >"$out/table.txt" || table_rc=$?
cat "$out/table.txt"
echo
echo "Each benchmark's own output: $out/"
exit $table_rc
