#!/usr/bin/env bash
# Makes the fuzz targets' seed corpora in fuzz/corpus/TARGET/ from the test fixtures and a few
# pictures drawn with ImageMagick (tiles, pages, compressions the fixtures lack). Every seed is
# a few KB. Run it again after adding a fixture; the result is checked in.
set -euo pipefail
cd "$(dirname "$0")/.."
out=fuzz/corpus
fixtures=tests/fixtures
rm -rf "$out"
mkdir -p "$out"
seed() { mkdir -p "$out/$1"; cp "$2" "$out/$1/${3:-$(basename "$2")}"; }

# Whole-picture readers: the fixtures of every kind.
for f in "$fixtures"/codecs/*.jpg; do seed jpeg_strips "$f"; done
for f in "$fixtures"/codecs/*.png; do seed png "$f"; done
for f in "$fixtures"/codecs/*.gif; do seed gif "$f"; done
for f in "$fixtures"/codecs/*.tif; do seed tiff "$f"; done
for f in "$fixtures"/codecs/*.bmp; do seed bmp "$f"; done
for f in "$fixtures"/codecs/*.psd; do seed psd "$f"; done
for f in "$fixtures"/exif/*.jpg; do seed exif "$f"; done

if command -v convert >/dev/null; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  convert -size 24x20 gradient:red-blue -define tiff:tile-geometry=16x16 -compress none \
    "$tmp/tiles-none.tif"
  convert -size 40x24 gradient:green-white -define tiff:tile-geometry=16x16 -compress zip \
    "$tmp/tiles-zip.tif"
  convert -size 12x8 xc:red xc:blue gradient: -compress lzw "$tmp/pages-lzw.tif"
  convert -size 16x16 gradient: -depth 16 -compress none "$tmp/grey16.tif"
  convert -seed 7 -size 16x16 plasma:fractal -compress jpeg "$tmp/jpeg-in-tiff.tif"
  convert -seed 7 -size 16x16 plasma:fractal -interlace plane -quality 80 "$tmp/im-progressive.jpg"
  convert -seed 7 -size 16x16 plasma:fractal -colorspace CMYK -interlace plane "$tmp/cmyk-progressive.jpg"
  convert -seed 7 -size 16x16 plasma:fractal -sampling-factor 4:2:0 "$tmp/subsampled.jpg"
  for f in "$tmp"/*.tif; do seed tiff "$f"; done
  for f in "$tmp"/*.jpg; do seed jpeg_strips "$f"; done
else
  echo "make-corpus: ImageMagick's convert not found; tiled and multi-page seeds left out" >&2
fi

# The whole-picture JPEG target reads its first byte as the road (reduction, through RGB).
for f in "$out"/jpeg_strips/*.jpg; do
  name=$(basename "$f" .jpg)
  mkdir -p "$out/jpeg"
  { printf '\000'; cat "$f"; } >"$out/jpeg/$name-full.jpg"
  { printf '\003'; cat "$f"; } >"$out/jpeg/$name-eighth.jpg"
  { printf '\004'; cat "$f"; } >"$out/jpeg/$name-rgb.jpg"
done

python3 - "$out" "$fixtures" <<'PY'
import os, struct, sys
out, fixtures = sys.argv[1], sys.argv[2]

def write(target, name, data):
    os.makedirs(os.path.join(out, target), exist_ok=True)
    with open(os.path.join(out, target, name), "wb") as f:
        f.write(data)

def tiff_block(jpeg_path):
    data = open(jpeg_path, "rb").read()
    at = data.find(b"Exif\0\0")
    length = struct.unpack(">H", data[at - 2:at])[0]
    return data[at + 6:at - 2 + length]

# Tags: language byte, text length, "text\0user name", then a TIFF-ordered EXIF block.
texts = [b"by <Artist/> (<Artist/>) <Make/> <Model/>\0Ann",
         b"<ImageSize/> <DateTimeOriginal/> <ExposureTime/> <FNumber/>\0",
         b"<UserName/><UserName/> <CurrentDate/> <CurrentTime/>\0<UserName/>",
         b"<ISOSpeedRatings/> <FocalLength/> <<Artist/>/> <Artist/ > <Unknown/>"]
blocks = [tiff_block(os.path.join(fixtures, "exif", n))
          for n in ("canon_intel.jpg", "nikon_motorola.jpg", "minimal_ifd0.jpg")]
for i, text in enumerate(texts):
    block = blocks[i % len(blocks)]
    write("tags", "seed%d" % i, bytes([i % 3]) + struct.pack("<H", len(text)) + text + block)

write("settings", "full.conf", b"""# every section
[film]
enabled = true
type = tmax
exposure = -3
saturation = 4
sharpness = 2
portrait = false
high-key = off
black-correction = yes
[watermark]
enabled = true
mode = text
text = by <Artist/>\\n\\t\\\\ (c)
align = center,middle
offset = 1.5,-2
unit = cm
opacity = 60
key = #00FF00
font = DejaVu Sans
size = 48
bold = true
colour = 102030
[signature]
enabled = 1
mode = text
text = <UserName/>
align = right,bottom
[border]
enabled = true
preset = black-white
mat = 10,20,30,40
mat-unit = mm
mat-equal = false
mat-colour = none
border = 2
border-unit = px
border-colour = FF0000
border-opacity = 50
border-inside = true
[tags]
user-name = Ann\\nBee
language = en_US
""")
write("settings", "problems.conf", b"""key-first = 1
[nowhere]
a = b
[film]
type = slide
exposure = 99
[border
mat = 1,2,3,4,5
""")

# Editor values: the field's row, then "before\0after".
for i, text in enumerate([b"1/250", b"f/2.8\x0028", b"2026:12:09 13:45:00", b"0.5",
                          b"-1.5", b"Ann \n Bee", b"72", b"infinity", b"\x003000"]):
    write("editor_values", "seed%d" % i, bytes([i * 7 % 251]) + text)

write("lists", "paths", b"""/photos/a.jpg
/photos/B.JPEG
relative.tif
/x/y.psd
/x/.hidden.png
/x/noextension
/x/y.gif.
/x/dir/
picture.bmp
/x/raw.nef
""")
write("lists", "print0", b"/a/b.jpg\0/c d/e.TIF\0\0relative.png\0/n\nl.gif\0")
PY
du -sh "$out"
