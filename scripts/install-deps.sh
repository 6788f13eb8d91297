#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
#   --bench     adds what the scripts in bench/ compare against (docs/performance.md)
#   --package   adds what scripts/package.sh needs to build and check the Debian package
#   --list GROUP  prints the packages of GROUP (build, runtime, tests) and installs nothing
set -euo pipefail

# debian/control repeats these (tests/gui/install/check_package_files.cmake compares them):
# build as Build-Depends (build-essential is implied there), runtime in Depends.
build=(
  build-essential cmake pkg-config
  libjpeg62-turbo-dev libpng-dev libtiff-dev libgif-dev
  libfreetype-dev libfontconfig-dev
  libraw-dev libheif-dev libwebp-dev
  liblcms2-dev libexempi-dev nettle-dev
  qt6-base-dev
)
runtime=(fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei qt6-translations-l10n)
tests=(
  webp libpng-tools
  libgtest-dev libbenchmark-dev
  libimage-exiftool-perl exiv2
  clang libclang-rt-14-dev
  xvfb xdotool imagemagick desktop-file-utils appstream
)
packages=("${build[@]}" "${runtime[@]}" "${tests[@]}")

while [ $# -gt 0 ]; do
  case "$1" in
    --bench) packages+=(hyperfine libjpeg-turbo-progs libvips-tools libraw-bin libheif-examples) ;;
    --package) packages+=(dpkg-dev debhelper lintian) ;;
    --list)
      case "${2:-}" in
        build) printf '%s\n' "${build[@]}" ;;
        runtime) printf '%s\n' "${runtime[@]}" ;;
        tests) printf '%s\n' "${tests[@]}" ;;
        *) echo "install-deps: --list build|runtime|tests" >&2; exit 2 ;;
      esac
      exit 0 ;;
    *) echo "install-deps: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

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

# One line says what is installed; apt's own output goes to a log, shown only if it fails.
echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
log=$(mktemp)
if ! { $sudo apt-get update -qq &&
       DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
         "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "install-deps: apt-get failed" >&2
  exit 1
fi
rm -f "$log"
