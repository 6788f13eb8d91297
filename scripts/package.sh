#!/usr/bin/env bash
# Builds the Debian package (dpkg-buildpackage -us -uc -b) from a copy of the checkout made
# outside it, so the tree stays clean, and checks the result with lintian (errors fail).
# Leaves tavelune_<version>_<arch>.deb, its debug symbols, .buildinfo, .changes, the build log
# and lintian's report in OUT_DIR.
#   usage: scripts/package.sh [OUT_DIR]      (default: dist/)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
out=$(realpath -m "${1:-dist}")

fail() { echo "package: FAILED: $*" >&2; exit 1; }
for tool in dpkg-buildpackage dpkg-parsechangelog dpkg-checkbuilddeps dh lintian; do
  command -v $tool >/dev/null || fail "$tool is missing (scripts/install-deps.sh --package)"
done

version=$(sed -n 's/^project(Tavelune VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package_version=$(dpkg-parsechangelog -S Version)
[ "$version" = "$package_version" ] ||
  fail "CMakeLists.txt says $version, debian/changelog $package_version"
dpkg-checkbuilddeps || fail "build dependencies missing (scripts/install-deps.sh)"

# One fixed place: Debian's flags name the build folder (-ffile-prefix-map), so only a stable
# path lets the compiler cache reuse the objects of an earlier build. The lock keeps two
# builds on one machine apart.
scratch=${TMPDIR:-/tmp}/tavelune-package
mkdir -p "$scratch"
exec 9>"$scratch.lock"
flock 9
tree=$scratch/tavelune-$version
rm -rf "${scratch:?}"/*
mkdir -p "$tree"
trap 'rm -rf "${scratch:?}"/*' EXIT

# The checkout as it is, uncommitted edits included, without build folders or ignored files.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$tree"
else
  tar --exclude='./build*' --exclude=./dist --exclude=./out -cf - . | tar -xf - -C "$tree"
fi

# debhelper gives the build its own HOME, which would hide the compiler cache.
if command -v ccache >/dev/null && [ -z "${CCACHE_DIR:-}" ]; then
  CCACHE_DIR=$(ccache -k cache_dir 2>/dev/null || true)
  [ -n "$CCACHE_DIR" ] && export CCACHE_DIR
fi

mkdir -p "$out"
log=$out/tavelune_${version}_build.log
echo "package: building tavelune $version in $tree (log: $log)"
start=$SECONDS
if ! (cd "$tree" && dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  fail "dpkg-buildpackage (full log: $log)"
fi
echo "package: built in $((SECONDS - start)) s"

arch=$(dpkg-architecture -qDEB_HOST_ARCH)
changes=tavelune_${version}_${arch}.changes
for f in "$scratch"/*.deb "$scratch"/*.ddeb "$scratch"/*.buildinfo "$scratch"/*.changes; do
  [ -e "$f" ] && mv -f "$f" "$out/"
done
[ -e "$out/tavelune_${version}_${arch}.deb" ] || fail "no tavelune_${version}_${arch}.deb was made"

echo "package: lintian $(lintian --version | sed 's/^Lintian v//')"
lintian_status=0
(cd "$out" && lintian --fail-on error --display-info --tag-display-limit 0 "$changes") \
  | tee "$out/tavelune_${version}_lintian.txt" || lintian_status=$?
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"
echo "package: $out/tavelune_${version}_${arch}.deb"
