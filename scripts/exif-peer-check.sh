#!/usr/bin/env bash
# Writes EXIF data with tavelune-cli into JPEG and TIFF files and checks them with exiftool and
# exiv2: validation without errors, the values read back, the JPEG image data unchanged after
# the Exif segment, the TIFF pixels unchanged (decoded by libtiff through tavelune-cli).
# Usage: scripts/exif-peer-check.sh [BUILD_DIR]   (needs exiftool and exiv2)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/tavelune-cli"
[ -x "$cli" ] || { echo "no $cli: build the tavelune-cli target first" >&2; exit 1; }
for tool in exiftool exiv2; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

# A JPEG from its first segment that is not an APPn one: the image data we must not touch.
after_app() { python3 - "$1" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
at = 2
while b[at] == 0xFF and 0xE0 <= b[at + 1] <= 0xEF:
    at += 2 + ((b[at + 2] << 8) | b[at + 3])
sys.stdout.buffer.write(b[at:])
PY
}

set_fields=(ExposureTime=1/125 FNumber=5.6 ISO=400 FocalLength=50 FocalLength35mm=75
  "Make=Canon" "Model=EOS-1V" "DateTimeOriginal=2024:05:01 10:30:00"
  "DateTimeDigitized=2024:05:01 10:31:00" "DateTime=2024:05:02 08:00:00"
  Resolution=300 "Lens=Canon EF 50/1.8" "Film=Fujifilm Fujichrome Velvia Prof."
  "FilterLens=B+W 021 light yellow" "Scanner=Nikon Coolscan 4000 ED" "FlashLamp=Canon Speedlite 550EX"
  Flash=25 ExposureCompensation=-2/3)
# exiftool -n tag, expected value
expected=("IFD0:Make|Canon" "IFD0:Model|EOS-1V" "ExifIFD:DateTimeOriginal|2024:05:01 10:30:00"
  "ExifIFD:CreateDate|2024:05:01 10:31:00" "IFD0:ModifyDate|2024:05:02 08:00:00"
  "ExifIFD:ExposureTime|0.008" "ExifIFD:FNumber|5.599880024" "ExifIFD:ISO|400"
  "ExifIFD:FocalLength|50" "ExifIFD:FocalLengthIn35mmFormat|75" "IFD0:XResolution|300"
  "IFD0:YResolution|300" "IFD0:Software|Tavelune 1.6.2" "ExifIFD:Flash|25")
# exiv2 key, expected raw value
expected_exiv2=("Exif.Image.Make|Canon" "Exif.Image.Model|EOS-1V" "Exif.Photo.ExposureTime|1000/125000"
  "Exif.Photo.FNumber|9335/1667" "Exif.Photo.ISOSpeedRatings|400" "Exif.Photo.FocalLength|50/1"
  "Exif.Image.XResolution|300/1" "Exif.Photo.ExposureBiasValue|-1000/1500"
  "Exif.Photo.0xafc0|Tavelune 1.6.2" "Exif.Photo.0xafc1|Canon EF 50/1.8"
  "Exif.Photo.0xafc2|Fujifilm Fujichrome Velvia Prof." "Exif.Photo.0xafc3|B+W 021 light yellow"
  "Exif.Photo.0xafc4|Nikon Coolscan 4000 ED" "Exif.Photo.0xafc5|Canon Speedlite 550EX")

check_values() {
  local file=$1 item tag want got
  for item in "${expected[@]}"; do
    tag=${item%%|*}; want=${item#*|}
    got=$(exiftool -s3 -n -a "-$tag" "$file")
    [ "$got" = "$want" ] || fail "$file: exiftool $tag is '$got', not '$want'"
  done
  for hex in 0xafc0 0xafc1 0xafc2 0xafc3 0xafc4 0xafc5; do
    exiftool -a -u -H -G1 -ExifIFD:all "$file" | grep -qi "^\[ExifIFD\] *$hex" ||
      fail "$file: exiftool does not list tag $hex"
  done
  for item in "${expected_exiv2[@]}"; do
    tag=${item%%|*}; want=${item#*|}
    got=$(exiv2 -u -Pkv "$file" 2>/dev/null | awk -v k="$tag" '$1 == k {sub(/^[^ ]+ +/, ""); print; exit}')
    [ "$got" = "$want" ] || fail "$file: exiv2 $tag is '$got', not '$want'"
  done
}

# A photographer's location put in by exiftool must survive our write and go with delete.
add_location() {
  exiftool -q -overwrite_original -GPSVersionID=2.3.0.0 -GPSLatitude=48.8582 -GPSLatitudeRef=N \
    -GPSLongitude=2.2945 -GPSLongitudeRef=E -GPSAltitude=35 "$1"
}
check_location() {
  local file=$1 got
  got=$(exiftool -s3 -n -GPS:GPSLatitude "$file")
  [ "$got" = "48.8582" ] && pass "$file: GPSLatitude kept" || fail "$file: GPSLatitude is '$got'"
  got=$(exiv2 -u -Pkv "$file" 2>/dev/null | awk '$1 == "Exif.GPSInfo.GPSLongitudeRef" {print $2}')
  [ "$got" = "E" ] || fail "$file: exiv2 GPSLongitudeRef is '$got', not 'E'"
}

validate() {
  local file=$1 out
  out=$(exiftool -validate -warning -error -a "$file" 2>&1)
  if echo "$out" | grep -q "Error"; then fail "$file: exiftool -validate: $out"; else
    pass "$file: exiftool -validate: $(echo "$out" | head -1 | sed 's/^Validate *: //')"; fi
  exiv2 -pa "$file" >/dev/null 2>"$work/exiv2.err" || fail "$file: exiv2 cannot read it"
  [ ! -s "$work/exiv2.err" ] || fail "$file: exiv2 says $(cat "$work/exiv2.err")"
}

# JPEG files: with JFIF only, with a camera's Exif segment, and a converted picture.
cp samples/coffee.jpg "$work/jfif.jpg"
cp samples/coffee-exif.jpg "$work/camera.jpg"
"$cli" convert --no-film samples/coffee-exif.jpg "$work/converted.jpg" >/dev/null
for name in jfif camera converted; do
  f="$work/$name.jpg"
  add_location "$f"
  after_app "$f" > "$work/before.bin"
  "$cli" exif set "$f" "${set_fields[@]}" >/dev/null
  validate "$f"
  check_values "$f"
  check_location "$f"
  after_app "$f" > "$work/after.bin"
  cmp -s "$work/before.bin" "$work/after.bin" && pass "$f: image data after the Exif segment unchanged" ||
    fail "$f: image data changed"
  "$cli" exif delete "$f" >/dev/null
  validate "$f"
  [ -z "$(exiftool -s3 -IFD0:Make -GPS:GPSLatitude "$f")" ] && pass "$f: nothing left after delete" ||
    fail "$f: EXIF left after delete"
done

# TIFF files written by our codec (libtiff), uncompressed and LZW.
for compression in none lzw; do
  f="$work/$compression.tif"
  "$cli" convert --no-film --no-exif --compression $compression samples/coffee.jpg "$f" >/dev/null
  add_location "$f"
  "$cli" convert --no-film --no-exif --dpi 72 "$f" "$work/$compression-before.bmp" >/dev/null
  "$cli" exif set "$f" "${set_fields[@]}" >/dev/null
  validate "$f"
  check_values "$f"
  check_location "$f"
  "$cli" convert --no-film --no-exif --dpi 72 "$f" "$work/$compression-after.bmp" >/dev/null
  cmp -s "$work/$compression-before.bmp" "$work/$compression-after.bmp" &&
    pass "$f: pixels decode the same with libtiff" || fail "$f: pixels changed"
  "$cli" exif delete "$f" >/dev/null
  validate "$f"
  [ -z "$(exiftool -s3 -GPS:GPSLatitude "$f")" ] && pass "$f: no location after delete" ||
    fail "$f: location left after delete"
done

echo
if [ $failures -eq 0 ]; then echo "all peer checks passed"; else echo "$failures peer checks failed"; exit 1; fi
