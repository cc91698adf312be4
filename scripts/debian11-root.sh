#!/usr/bin/env bash
# Makes (once) and prints the path of a Debian 11 system root, the oldest system the
# installer runs on: the shipped programs are linked against its C library, and the tests
# run them inside it. Kept in a cache folder between runs; a root that was not finished
# is made again.
#   scripts/debian11-root.sh base   a minimal system (debootstrap --variant=minbase) with
#                                   the C library's development files, no X11 library
#   scripts/debian11-root.sh x11    a copy of it with Xvfb, the X11 client libraries every
#                                   desktop has, fontconfig, freetype and a font
set -euo pipefail
kind=${1:-base}
cache=${TARNW_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnwhistle}
mirror=${TARNW_DEBIAN_MIRROR:-http://deb.debian.org/debian}
base=$cache/debian11-base
x11=$cache/debian11-x11
# Raised whenever what the script makes changes, so that an older cached root is made again.
version=2
mkdir -p "$cache"
# One maker at a time: several worktrees share the cache.
exec 8>"$cache/.lock"
flock 8

make_base() {
  [ "$(cat "$base/.complete" 2>/dev/null)" = "$version" ] && return
  rm -rf "$base.partial"
  debootstrap --variant=minbase --include=libc6-dev bullseye "$base.partial" "$mirror" >&2
  rm -rf "$base.partial/var/cache/apt/archives/"*.deb
  # Links to libraries point within the root, not from the machine's top, so that a linker
  # given the root as its system root finds the root's libraries, not this machine's.
  local link target
  while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    ln -sfn "$(realpath -s -m --relative-to="$(dirname "$link")" "$base.partial$target")" "$link"
  done < <(find "$base.partial/usr/lib/x86_64-linux-gnu" "$base.partial/usr/lib64" -type l -lname '/*' -print0)
  echo "$version" >"$base.partial/.complete"
  rm -rf "$base"
  mv "$base.partial" "$base"
}

make_x11() {
  [ "$(cat "$x11/.complete" 2>/dev/null)" = "$version" ] && [ "$x11/.complete" -nt "$base/.complete" ] && return
  rm -rf "$x11.partial"
  cp -a "$base" "$x11.partial"
  rm -f "$x11.partial/.complete"
  cp /etc/resolv.conf "$x11.partial/etc/resolv.conf"
  unshare --mount --fork sh -c '
    mount -t proc proc "$1/proc"
    chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      xvfb xauth xdotool x11-utils libx11-6 libxft2 libxrender1 libxcursor1 libxfixes3 \
      libxext6 libxinerama1 libfontconfig1 libfreetype6 fonts-dejavu-core' sh "$x11.partial" >&2
  rm -rf "$x11.partial/var/cache/apt/archives/"*.deb "$x11.partial/var/lib/apt/lists/"*_Packages
  echo "$version" >"$x11.partial/.complete"
  rm -rf "$x11"
  mv "$x11.partial" "$x11"
}

make_base
case "$kind" in
base) echo "$base" ;;
x11)
  make_x11
  echo "$x11"
  ;;
*)
  echo "usage: $0 base|x11" >&2
  exit 2
  ;;
esac
