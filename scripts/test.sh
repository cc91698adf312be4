#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test. GUI tests
# run on a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${TARNW_BUILD_DIR:-build}
# A Debian 11 system (cached between runs): the shipped programs are linked against its C
# library, and the tests run them there, without X11 and with it.
baseline_root= baseline_x11_root=
if [ "$(id -u)" -eq 0 ]; then
  baseline_root=$(scripts/debian11-root.sh base)
  baseline_x11_root=$(scripts/debian11-root.sh x11)
else
  echo "Not root: no Debian 11 system; the programs are linked against this system's C library"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNW_WERROR=ON \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DTARNW_BASELINE_ROOT="$baseline_root" -DTARNW_BASELINE_X11_ROOT="$baseline_x11_root"
cmake --build "$build"

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if command -v Xvfb >/dev/null; then
  # The server picks a free display itself and writes its number to us; -noreset keeps it
  # up between test processes.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  export DISPLAY=:$(head -n 1 "$display_file")
  rm -f "$display_file"
fi

# A test that fails is run again, up to three times in all, so that one timing slip on a
# loaded machine does not fail the run; a real fault fails every time. Every test that
# passed only on a rerun is listed at the end, so a new flaky test is seen the day it
# appears.
failed_log="$build/Testing/Temporary/LastTestsFailed.log"
first_failures=$(mktemp)
trap 'cleanup; rm -f "$first_failures"' EXIT
rm -f "$failed_log"
status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@" || status=$?
if [ "$status" -ne 0 ] && [ -s "$failed_log" ]; then
  cut -d: -f2- "$failed_log" | sort -u >"$first_failures"
  for attempt in 2 3; do
    echo "Running the failed tests again (attempt $attempt of 3)"
    status=0
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --rerun-failed "$@" || status=$?
    [ "$status" -eq 0 ] && rm -f "$failed_log"
    [ "$status" -eq 0 ] && break
  done
  still_failing=$(mktemp)
  [ -s "$failed_log" ] && cut -d: -f2- "$failed_log" | sort -u >"$still_failing"
  passed_on_rerun=$(comm -23 "$first_failures" "$still_failing")
  rm -f "$still_failing"
  if [ -n "$passed_on_rerun" ]; then
    echo
    echo "Tests that passed only on a rerun (flaky):"
    printf '%s\n' "$passed_on_rerun" | sed 's/^/  /'
  fi
fi

# The checks beside the tests: clang-tidy, then the tests under AddressSanitizer with
# UndefinedBehaviorSanitizer, and the threaded ones under ThreadSanitizer, each in a build
# folder of its own (scripts/sanitize.sh says which tests run where). TARNW_QUICK=1 skips
# them, for a quick local run.
if [ "${TARNW_QUICK:-0}" != 1 ] && [ $# -eq 0 ]; then
  for check in "scripts/tidy.sh $build" "scripts/sanitize.sh address" "scripts/sanitize.sh thread"; do
    echo "== $check"
    # shellcheck disable=SC2086 # the check's words are split on purpose
    $check || status=1
  done
fi
exit "$status"
