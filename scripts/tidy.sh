#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the sources of src/ and tools/, using
# the compile commands of build folder $1 (configured with CMAKE_EXPORT_COMPILE_COMMANDS).
# Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi
root=$(pwd)
run-clang-tidy -p "$build" -j "$(nproc)" -quiet "^$root/(src|tools)/" >"$build/clang-tidy.log" 2>&1 || true
if grep -E ': (error|warning): ' "$build/clang-tidy.log" | grep -v 'warnings generated' >/dev/null; then
  grep -E -A3 ': (error|warning): ' "$build/clang-tidy.log" | head -n 200
  echo "clang-tidy: findings above (whole log: $build/clang-tidy.log)"
  exit 1
fi
echo "clang-tidy: $(grep -c '^clang-tidy' "$build/clang-tidy.log") files, no findings"
