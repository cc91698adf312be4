#!/usr/bin/env bash
# The demo: installs what is missing, builds, packs examples/demo and runs the installer in
# a sandbox below the build folder (HOME, XDG_*, TMPDIR and TARNW_PREFIX all point there).
# With a display the window opens; in a terminal the console dialogue runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${TARNW_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tarnw-pack tarnwhistle TarnDeinstall

installer="$build/demo/DemoInstaller"
"$build/bin/tarnw-pack" build examples/demo/manifest.json -o "$installer"

sandbox="$(cd "$build" && pwd)/demo-sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox"/{home/.config,home/.local/share,home/.cache,home/Desktop,prefix,tmp}
echo "Sandbox: $sandbox"

# Restart and "open folder" requests only print what they would do.
env HOME="$sandbox/home" \
    XDG_CONFIG_HOME="$sandbox/home/.config" \
    XDG_DATA_HOME="$sandbox/home/.local/share" \
    XDG_CACHE_HOME="$sandbox/home/.cache" \
    XDG_DESKTOP_DIR="$sandbox/home/Desktop" \
    XDG_RUNTIME_DIR="$sandbox/tmp" \
    TMPDIR="$sandbox/tmp" \
    TARNW_PREFIX="$sandbox/prefix" \
    TARNW_SHUTDOWN_COMMAND=/bin/echo \
    TARNW_OPEN_COMMAND=/bin/echo \
    "$installer" && status=0 || status=$?

echo
echo "The installer ended with status $status. What it placed in the sandbox:"
(cd "$sandbox" && find home prefix -mindepth 1 -not -path '*/.cache*' | sort | sed 's/^/  /')
deinstaller=$(find "$sandbox" -name '* Deinstaller' -type f | head -n 1)
if [ -n "$deinstaller" ]; then
  echo
  echo "To remove it again, run the deinstaller it placed (same sandbox variables):"
  echo "  $deinstaller"
fi
exit "$status"
