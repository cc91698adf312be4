#!/usr/bin/env bash
# Runs tests under the sanitizers, each in a build folder of its own:
#   scripts/sanitize.sh address   every test that needs neither a window nor a shipped
#                                 program (the unit tests and the fuzz corpora), under
#                                 AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/sanitize.sh thread    the tests of the code that runs threads (loopers, the
#                                 worker, WorkPool, InflatePool, the install run) under
#                                 ThreadSanitizer
# The window, the tools and the shipped programs are left out: they are linked statically
# against an older C library, which the sanitizers' runtimes cannot be.
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:?usage: scripts/sanitize.sh address|thread}
case "$kind" in
  address)
    sanitizers=address,undefined
    targets=(tarnw_platform_support_tests tarnw_platform_app_tests tarnw_platform_kernel_tests
             tarnw_platform_storage_tests tarnw_platform_interface_tests tarnw_lib_tests
             tarnw_archive_tests tarnw_files_tests tarnw_locale_tests tarnw_package_tests tarnw_frontend_tests
             tarnw_engine_tests tarnw_ui_tests tarnw_window_tests)
    ;;
  thread)
    sanitizers=thread
    targets=(tarnw_platform_app_tests tarnw_platform_kernel_tests tarnw_lib_tests
             tarnw_archive_tests tarnw_files_tests tarnw_engine_tests)
    ;;
  *) echo "usage: scripts/sanitize.sh address|thread" >&2; exit 2 ;;
esac

build=${TARNW_SANITIZE_BUILD_DIR:-build-$kind}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARNW_SANITIZE="$sanitizers" -DTARNW_WERROR=ON -DTARNW_LTO=OFF \
  -DTARNW_BUILD_GUI=OFF -DTARNW_BUILD_TOOLS=OFF -DTARNW_BUILD_BENCH=OFF >/dev/null
known=$(ninja -C "$build" -t targets all | cut -d: -f1)
wanted=()
for target in "${targets[@]}"; do
  grep -qx "$target" <<<"$known" && wanted+=("$target")
done
if [ "$kind" = address ]; then
  wanted+=($(grep -x 'replay_[a-z_]*' <<<"$known" | sort -u))
fi
cmake --build "$build" --target "${wanted[@]}"

# Any report ends the test with a failure; leaks are reports too.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# Only the programs built above have tests; the others are listed as not built.
skip='_NOT_BUILT$'
[ "$kind" = thread ] && skip='_NOT_BUILT$|^fuzz_corpus_'
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -L unit -E "$skip" "${@:2}"
