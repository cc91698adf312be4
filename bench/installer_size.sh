#!/bin/sh
# Builds the installer program as CI does (default linker, RelWithDebInfo), packs an
# installer with an empty payload and prints the sizes against the 3 MiB limit.
#   bench/installer_size.sh [BUILD_DIR]     (default: build-size beside the sources)
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build-size}
limit=$((3 * 1024 * 1024))

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNW_BUILD_TESTS=OFF -DTARNW_BUILD_BENCH=OFF >/dev/null
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
echo "installer program (tarnwhistle): $program bytes"
echo "installer with an empty payload: $installer bytes (limit $limit)"
if [ "$installer" -gt "$limit" ]; then
    echo "over the limit by $((installer - limit)) bytes" >&2
    exit 1
fi
