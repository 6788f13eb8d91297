#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# --bench adds what the scripts in bench/ compare against (docs/performance.md).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libjpeg62-turbo-dev libpng-dev libtiff-dev libgif-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei
  libgtest-dev libbenchmark-dev
  libimage-exiftool-perl exiv2
  clang libclang-rt-14-dev
  qt6-base-dev
  xvfb xdotool imagemagick desktop-file-utils appstream
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(hyperfine libjpeg-turbo-progs libvips-tools)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
