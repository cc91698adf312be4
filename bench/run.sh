#!/bin/bash
# Side-by-side benchmark of our installer, packer and deinstaller against the usual tools
# on the same data, in interleaved rounds, each run on a freshly made volume. Prints
# medians and ratios. See bench/README.md.
#
#   bench/run.sh [--build DIR] [--work DIR] [--rounds N] [--scale F] [--items "500 1000 2000"]
#                [--only "small large items pack deinstall load window"]
#
# --scale multiplies the sizes (20,000 small files, 4 x 128 MiB, a 512 MiB packing tree):
# --scale 0.1 --rounds 3 is a quick run of a few minutes. As root every run gets a fresh
# ext4 loop volume; otherwise a fresh folder under the work folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
work=
rounds=5
scale=1
items="500 1000 2000"
only="small large items pack deinstall load window"
while [ $# -gt 0 ]; do
    case $1 in
    --build) build=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    --items) items=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
pack=$build/bin/tarnw-pack
[ -x "$pack" ] || { echo "no $pack: build first" >&2; exit 2; }
[ -n "$work" ] || work=$(mktemp -d "${TMPDIR:-/tmp}/tarnw-bench.XXXXXX")
mkdir -p "$work"
work=$(cd "$work" && pwd)
mnt=$work/mnt
mkdir -p "$mnt" "$work/home" "$work/prefix"
results=$work/results
: >"$results"
root=0
[ "$(id -u)" = 0 ] && root=1

scaled() { python3 -c "import sys; print(max(1, int(round($1 * $scale))))"; }
wants() { case " $only " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }
now() { date +%s%N; }

cleanup() {
    mountpoint -q "$mnt" 2>/dev/null && umount "$mnt"
    rm -f "$work/volume.img"
}
trap cleanup EXIT

# A fresh volume at $mnt of $1 MiB.
fresh_volume() {
    cleanup
    if [ $root = 1 ]; then
        truncate -s "${1}M" "$work/volume.img"
        mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$work/volume.img"
        mount -o loop "$work/volume.img" "$mnt"
    else
        rm -rf "$mnt"
        mkdir -p "$mnt"
    fi
}

# The sandbox every run of ours gets: its own home, prefix and commands.
sandbox=(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
    XDG_CACHE_HOME="$work/home/.cache" XDG_STATE_HOME="$work/home/.local/state"
    TARNW_PREFIX="$work/prefix" TARNW_SHUTDOWN_COMMAND=/bin/true TARNW_OPEN_COMMAND=/bin/true)
installer_env() { env "${sandbox[@]}" "$@"; }

# record WORKLOAD TOOL SECONDS
record() { echo "$1|$2|$3" >>"$results"; }

# What makes a timed command's result durable, run inside its time: by default the volume
# at $mnt is written out (`sync -f`); the packers' outputs are written out on their own.
# Our installer makes its result durable before it reports completion, so for it this
# finds nothing left to write; the usual tools leave that work to the kernel, which does
# it later, so the table compares the same work.
settle=(sync -f "$mnt")

# timed WORKLOAD TOOL COMMAND...: runs the command, records its wall time to durable
# completion.
timed() {
    local workload=$1 tool=$2
    shift 2
    local start end
    sync
    start=$(now)
    "$@" >/dev/null 2>"$work/last.err" || { echo "$tool failed on $workload:" >&2; cat "$work/last.err" >&2; exit 1; }
    "${settle[@]}"
    end=$(now)
    record "$workload" "$tool" "$(python3 -c "print(($end - $start) / 1e9)")"
}

ours() { # INSTALLER: unattended install into $mnt
    printf 'destination: %s\n' "$mnt" >"$work/answers"
    installer_env TARNW_FRONTEND=unattended TARNW_ANSWERS="$work/answers" "$1"
}

# Builds the installer, the payload archive and the tarballs of workload $1 (tree in
# $2/Tree, manifest in $2).
prepare() {
    local dir=$2
    [ -x "$dir/installer" ] || "$pack" build "$dir/manifest.json" -o "$dir/installer" >/dev/null
    [ -f "$dir/payload.zip" ] || "$pack" extract "$dir/installer" RAWT 2100 "$dir/payload.zip" >/dev/null
    [ -f "$dir/tree.tar" ] || tar -C "$dir" -cf "$dir/tree.tar" Tree
    [ -f "$dir/tree.tgz" ] || tar -C "$dir" -czf "$dir/tree.tgz" Tree
}

blocks() { du -s --block-size=1K "$1" | cut -f1; }

extraction_rounds() { # WORKLOAD DIR VOLUME_MIB
    local workload=$1 dir=$2 size=$3
    for round in $(seq "$rounds"); do
        for tool in ours unzip tar-xzf tar-xf cp-a; do
            fresh_volume "$size"
            case $tool in
            ours) timed "$workload" ours ours "$dir/installer"
                  record "$workload" blocks-ours "$(blocks "$mnt/Bench/Tree")"
                  # Every checksum the run verifies before its first write, and the
                  # program image: the run's own check, on its own.
                  timed "$workload" check "$dir/installer" --check ;;
            unzip) timed "$workload" unzip unzip -q "$dir/payload.zip" -d "$mnt" ;;
            tar-xzf) timed "$workload" tar-xzf tar -C "$mnt" -xzf "$dir/tree.tgz" ;;
            tar-xf) timed "$workload" tar-xf tar -C "$mnt" -xf "$dir/tree.tar"
                    record "$workload" blocks-tar "$(blocks "$mnt/Tree")" ;;
            cp-a) timed "$workload" cp-a cp -a "$dir/Tree" "$mnt/" ;;
            esac
        done
    done
}

data=$work/data
mkdir -p "$data"
small_files=$(scaled 20000)
large_mib=$(scaled 128)
pack_mib=$(scaled 512)
volume_small=$((small_files / 20 + 512))
volume_large=$((large_mib * 4 * 2 + 512))

if wants small || wants deinstall; then
    [ -d "$data/small/Tree" ] || python3 "$here/workloads.py" small "$data/small" --files "$small_files"
    prepare small "$data/small"
fi
if wants small; then
    echo "small: $small_files files" >&2
    extraction_rounds small "$data/small" "$volume_small"
fi

if wants large; then
    [ -d "$data/large/Tree" ] || python3 "$here/workloads.py" large "$data/large" --count 4 --mib "$large_mib"
    prepare large "$data/large"
    echo "large: 4 x $large_mib MiB" >&2
    extraction_rounds large "$data/large" "$volume_large"
    # Peak memory of a large install.
    fresh_volume "$volume_large"
    printf 'destination: %s\n' "$mnt" >"$work/answers"
    installer_env TARNW_FRONTEND=unattended TARNW_ANSWERS="$work/answers" \
        /usr/bin/time -f %M -o "$work/rss" "$data/large/installer" >/dev/null 2>&1
    record large peak-kib "$(tail -1 "$work/rss")"
fi

if wants items || wants load || wants window; then
    for n in $items; do
        dir=$data/items$n
        [ -d "$dir/Tree" ] || python3 "$here/workloads.py" items "$dir" --files "$n"
        [ -x "$dir/many/installer" ] || "$pack" build "$dir/many/manifest.json" -o "$dir/many/installer" >/dev/null
        [ -x "$dir/one/installer" ] || "$pack" build "$dir/one/manifest.json" -o "$dir/one/installer" >/dev/null
    done
fi
if wants items; then
    for round in $(seq "$rounds"); do
        for n in $items; do
            fresh_volume 512
            timed "items$n" many ours "$data/items$n/many/installer"
            fresh_volume 512
            timed "items$n" one ours "$data/items$n/one/installer"
        done
    done
fi

if wants load; then
    # Up to the first question: the installation folder exists, the question is answered
    # Cancel and the run ends there.
    n=$(echo $items | tr ' ' '\n' | sort -n | tail -1)
    mkdir -p "$work/exists/Bench"
    printf 'destination: %s\nanswer: 0\n' "$work/exists" >"$work/answers-load"
    for round in $(seq "$rounds"); do
        start=$(now)
        installer_env TARNW_FRONTEND=unattended TARNW_ANSWERS="$work/answers-load" \
            "$data/items$n/many/installer" >/dev/null 2>&1 || true
        end=$(now)
        record "load$n" unattended "$(python3 -c "print(($end - $start) / 1e9)")"
    done
fi

if wants window && command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    n=1000
    [ -x "$data/items$n/many/installer" ] || { python3 "$here/workloads.py" items "$data/items$n" --files $n
        "$pack" build "$data/items$n/many/manifest.json" -o "$data/items$n/many/installer" >/dev/null; }
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    exec 3>&-
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    display=:$(head -1 "$work/display")
    for round in $(seq "$rounds"); do
        start=$(now)
        # Started straight from here, so that $! is the installer itself.
        env DISPLAY="$display" "${sandbox[@]}" TARNW_FRONTEND=gui "$data/items$n/many/installer" \
            >/dev/null 2>&1 &
        pid=$!
        until DISPLAY=$display xdotool search --onlyvisible --pid $pid >/dev/null 2>&1; do
            kill -0 $pid 2>/dev/null || { echo "the installer window did not appear" >&2; exit 1; }
        done
        end=$(now)
        # Each round's window must be gone before the next starts: a second installer
        # refuses to run beside the first.
        kill $pid 2>/dev/null || true
        for _ in $(seq 20); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        kill -9 $pid 2>/dev/null || true
        wait $pid 2>/dev/null || true
        record "window$n" gui "$(python3 -c "print(($end - $start) / 1e9)")"
    done
    kill $xvfb
fi

if wants pack; then
    [ -d "$data/pack/Tree" ] || python3 "$here/workloads.py" pack "$data/pack" --mib "$pack_mib"
    echo "pack: $pack_mib MiB" >&2
    for round in $(seq "$rounds"); do
        rm -f "$work/packed" "$work/packed.zip"
        settle=(sync "$work/packed")
        timed pack tarnw-pack "$pack" build "$data/pack/manifest.json" -o "$work/packed"
        settle=(sync "$work/packed.zip")
        (cd "$data/pack" && timed pack zip-r-6 zip -q -r -6 "$work/packed.zip" Tree)
        settle=(sync -f "$mnt")
    done
    record pack size-ours "$(stat -c %s "$work/packed")"
    record pack size-zip "$(stat -c %s "$work/packed.zip")"
fi

if wants deinstall; then
    for round in $(seq "$rounds"); do
        fresh_volume "$volume_small"
        ours "$data/small/installer" >/dev/null 2>&1
        deinstaller=$(ls "$mnt/Bench/"*Deinstaller)
        printf 'remove: yes\n' >"$work/answers-remove"
        timed deinstall ours installer_env TARNW_FRONTEND=unattended TARNW_ANSWERS="$work/answers-remove" "$deinstaller"
        fresh_volume "$volume_small"
        cp -a "$data/small/Tree" "$mnt/"
        timed deinstall rm-rf rm -rf "$mnt/Tree"
    done
fi

python3 "$here/report.py" "$results"
echo "raw figures: $results" >&2
