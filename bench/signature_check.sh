#!/bin/sh
# What the signature costs: the check a run makes before its first write (and --check) of
# an installer carrying 4 files of 128 MiB (half compressible, as run.sh's "large"),
# unsigned (every checksum, on all cores) against signed (every byte hashed once against
# the signature, on all cores, the checksums then not read again). Warm page cache; the
# median of ROUNDS runs, in seconds.
#   bench/signature_check.sh [BUILD_DIR] [ROUNDS] [MIB]
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build}
rounds=${2:-7}
mib=${3:-128}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$source_dir/bench/workloads.py" large "$work/large" --count 4 --mib "$mib" >/dev/null
"$build/bin/tarnw-pack" keygen -p "$work/bench.pub" -s "$work/bench.key" -c "Bench" >/dev/null
"$build/bin/tarnw-pack" build "$work/large/manifest.json" -o "$work/Unsigned" >/dev/null
cp "$work/Unsigned" "$work/Signed"
sign_start=$(date +%s.%N)
"$build/bin/tarnw-pack" sign "$work/Signed" -s "$work/bench.key" >/dev/null
sign_end=$(date +%s.%N)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
time_check() { # installer [options...]
    for _ in $(seq "$rounds"); do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { echo "check failed: $*" >&2; exit 1; }
        end=$(date +%s.%N)
        echo "$end - $start" | bc
    done | median
}
cat "$work/Unsigned" "$work/Signed" >/dev/null # into the page cache

echo "installer: $(stat -c %s "$work/Signed") bytes, $(nproc) cores, $rounds rounds"
echo "signing (tarnw-pack sign, once): $(echo "$sign_end - $sign_start" | bc) s"
echo "--check, unsigned (CRC-32 of every resource): $(time_check "$work/Unsigned" --check) s"
echo "--check, signed (SHA-512 of every byte): $(time_check "$work/Signed" --check) s"
echo "--check --verify-key, signed: $(time_check "$work/Signed" --check --verify-key "$work/bench.pub") s"
if command -v minisign >/dev/null; then
    "$build/bin/tarnw-pack" sign "$work/Signed" -s "$work/bench.key" --detached >/dev/null
    echo "minisign -V of the same file (one core): $(time_check minisign -Vq -p "$work/bench.pub" -m "$work/Signed") s"
fi
