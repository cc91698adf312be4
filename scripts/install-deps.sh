#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need. Idempotent:
# apt-get runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-tidy clang-format
  libgtest-dev libgmock-dev
  libfltk1.3-dev libx11-dev libxft-dev libfontconfig-dev libxinerama-dev
  libxcursor-dev libxfixes-dev libxrender-dev libxext-dev
  libpng-dev libjpeg-dev zlib1g-dev libminizip-dev libdeflate-dev librsvg2-2
  nlohmann-json3-dev libasound2-dev libsodium-dev minisign
  xvfb xauth xdotool imagemagick x11-apps x11-utils openbox fonts-dejavu-core
  attr unzip zip file
  e2fsprogs exfatprogs exfat-fuse fuse3
  desktop-file-utils gtk-update-icon-cache
  debootstrap
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
