#!/usr/bin/env bash
# Runs one test program (through scripts/wine-run) with the fake upload
# server beside it: the server starts on a port the system picks, the
# program finds it in NORPA_UPLOAD_TEST_PROXY (http://127.0.0.1:PORT) and
# uses it as WinINet's proxy, and the server stops when the program ends,
# whatever the way.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
python3 "$here/fake_upload_server.py" --port-file "$scratch/port" &
server=$!
# Waits for the port, which the server writes once it listens: asked for
# every 50 ms, for 5 s at most.
for _ in $(seq 100); do [ -s "$scratch/port" ] && break; sleep 0.05; done
[ -s "$scratch/port" ] || { echo "with_upload_server.sh: the fake upload server did not start" >&2; exit 1; }
export NORPA_UPLOAD_TEST_PROXY="http://127.0.0.1:$(head -n1 "$scratch/port")"
rc=0
"$here/../scripts/wine-run" "$@" || rc=$?
exit $rc
