#!/bin/sh
# Builds the installer program as CI does (default linker, RelWithDebInfo, linked against
# Debian 11's C library when the Debian 11 root can be had: $TARNW_BASELINE_ROOT, or made by
# scripts/debian11-root.sh as root), packs an installer with an empty payload and prints
# the sizes against the 3 MiB limit, and what the window's part weighs.
#   bench/installer_size.sh [BUILD_DIR]     (default: build-size beside the sources)
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build-size}
limit=$((3 * 1024 * 1024))

root=${TARNW_BASELINE_ROOT:-}
if [ -z "$root" ] && [ "$(id -u)" -eq 0 ]; then
    root=$("$source_dir/scripts/debian11-root.sh" base)
fi
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNW_BUILD_TESTS=OFF -DTARNW_BUILD_BENCH=OFF -DTARNW_BASELINE_ROOT="$root" >/dev/null
cmake --build "$build" --target tarnwhistle tarnw-pack >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/manifest.json" <<'MANIFEST'
{
  "app_name": "Empty",
  "version": "1.0",
  "opt_created_folder": "Empty",
  "files": []
}
MANIFEST
"$build/bin/tarnw-pack" build "$work/manifest.json" -o "$work/Installer" >/dev/null

program=$(stat -c %s "$build/bin/tarnwhistle")
installer=$(stat -c %s "$work/Installer")
echo "installer program (tarnwhistle): $program bytes${root:+ (linked against the C library of $root)}"
if [ -f "$build/window-part/tarnw-window.so" ]; then
    part=$(stat -c %s "$build/window-part/tarnw-window.so")
    carried=$(stat -c %s "$build/window-part/carry/part.gz")
    echo "the window's part: $part bytes, carried compressed in the program as $carried bytes"
fi
echo "installer with an empty payload: $installer bytes (limit $limit)"
if [ "$installer" -gt "$limit" ]; then
    echo "over the limit by $((installer - limit)) bytes" >&2
    exit 1
fi
