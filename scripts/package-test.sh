#!/usr/bin/env bash
# Installs the Debian package on this machine with apt-get, runs both programs from /usr/bin
# (the command-line program on the shipped example photo, the desktop program under Xvfb
# through scripts/gui-smoke.sh: window, Apply, save), then purges the package and checks that
# none of its files is left. Needs root (or sudo) and the tools of the desktop check.
#   usage: scripts/package-test.sh [DEB [SHOTS_DIR]]
#   DEB defaults to the one scripts/package.sh left in dist/; the desktop program's
#   screenshots go to SHOTS_DIR (default: a temporary folder, removed at the end).
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package-test: FAILED: $*" >&2; exit 1; }

version=$(sed -n 's/^project(Tavelune VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=${1:-dist/tavelune_${version}_$(dpkg --print-architecture).deb}
[ -f "$deb" ] || fail "$deb not found (scripts/package.sh makes it)"
deb=$(realpath "$deb")
for tool in apt-get dpkg-query Xvfb xdotool import; do
  command -v $tool >/dev/null || fail "$tool is missing (scripts/install-deps.sh)"
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -y -q "$@"; }
# Installed, or removed with its configuration kept: anything but forgotten.
installed() {
  local status
  status=$(dpkg-query -W -f='${db:Status-Status}' tavelune 2>/dev/null || true)
  [ -n "$status" ] && [ "$status" != "not-installed" ]
}

work=$(mktemp -d)
cleanup() {
  if installed; then apt purge tavelune >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

if installed; then
  echo "package-test: removing the tavelune package installed before this test"
  apt purge tavelune >/dev/null
fi

echo "package-test: apt-get install $deb"
# A dependency the machine has never fetched needs fresh lists; try without first.
if ! apt install "$deb" >"$work/apt.log" 2>&1; then
  apt update >/dev/null 2>&1 || true
  apt install "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install"; }
fi
[ "$(dpkg-query -W -f='${Version}' tavelune)" = "$version" ] || fail "installed version is not $version"
dpkg-query -L tavelune | sort >"$work/files"
echo "package-test: installed $(wc -l <"$work/files") paths"
for path in /usr/bin/tavelune /usr/bin/tavelune-cli /usr/lib/tavelune/lang/Lang_en_US.so \
    /usr/lib/tavelune/lang/Lang_zh_TW.so /usr/lib/tavelune/data/l_l.qxj \
    /usr/lib/tavelune/help/index.html /usr/lib/tavelune/tavelune-raw \
    /usr/share/applications/tavelune.desktop \
    /usr/share/metainfo/org.marrowick.Tavelune.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/tavelune.svg /usr/share/man/man1/tavelune.1.gz \
    /usr/share/man/man1/tavelune-cli.1.gz /usr/share/doc/tavelune/copyright \
    /usr/share/doc/tavelune/examples/coffee.jpg; do
  grep -qxF "$path" "$work/files" || fail "the package does not install $path"
done

# The command-line program, from /usr/bin, on the photo the package ships.
reported=$(/usr/bin/tavelune-cli --version)
echo "package-test: /usr/bin/tavelune-cli --version: $reported"
[ "$reported" = "Tavelune $version" ] || fail "--version reports '$reported'"
sample=/usr/share/doc/tavelune/examples/coffee.jpg
(cd "$work" && /usr/bin/tavelune-cli convert "$sample" converted.jpg)
[ "$(head -c 2 "$work/converted.jpg" | od -An -tx1 | tr -d ' ')" = "ffd8" ] ||
  fail "tavelune-cli convert did not write a JPEG file"
cmp -s "$sample" samples/coffee.jpg || fail "the shipped example differs from samples/coffee.jpg"
echo "package-test: /usr/bin/tavelune-cli convert $sample: $(stat -c %s "$work/converted.jpg") bytes"

# The desktop program from /usr/bin: it must find its language packs, placeholders and help in
# /usr/lib/tavelune (the English save dialog that gui-smoke waits for comes from a pack).
bash scripts/gui-smoke.sh /usr/bin "${2:-$work/shots}" || fail "the desktop program from /usr/bin"

echo "package-test: apt-get purge tavelune"
apt purge tavelune >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get purge"; }
! installed || fail "dpkg still knows tavelune after the purge"
# A file or link must be gone; a folder may stay only while another package owns it.
left=0
while IFS= read -r path; do
  [ "$path" = "/." ] && continue
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    dpkg-query -S "$path" >/dev/null 2>&1 && continue
  elif [ ! -e "$path" ] && [ ! -L "$path" ]; then
    continue
  fi
  echo "package-test: left behind: $path" >&2
  left=$((left + 1))
done <"$work/files"
[ "$left" -eq 0 ] || fail "$left paths of the package are left after apt-get purge"
echo "package-test: purged; none of the package's $(wc -l <"$work/files") paths is left"
echo "package-test: passed"
