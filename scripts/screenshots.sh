#!/usr/bin/env bash
# Makes the README's pictures, docs/screenshots/{toolbar,overlay,editor,
# upload}.png, from a real run of both programs: the end-to-end test
# program's first road (tests/e2e_user_path_test.cpp) on a virtual display
# of its own beside the fake upload server, asked to take them on its way.
# Stops what it started, also on failure.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_test_session 1280x1024

out="$repo/docs/screenshots"
mkdir -p "$out"
NORPA_SCREENSHOTS=$(winepath -w "$out") NORPA_RUN_LIMIT=200 \
  bash tests/with_upload_server.sh "$build/bin/e2e_tests.exe" --gtest_filter=UserPathTest.CaptureAnnotateSaveUploadAndEnd
ls -l "$out"/*.png
