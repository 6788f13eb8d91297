#!/bin/sh
# Makes the small codec fixtures in tests/fixtures/codecs with ImageMagick (and a few files that
# ImageMagick cannot write, with Python), plus ImageMagick's own decoding of each file as raw
# RGBA (<file>.rgba, 8 bits per sample, top row first) for the tests to compare against.
# The tests only read the committed results; run this again only to change the fixtures.
set -eu
cd "$(dirname "$0")/.."
out=tests/fixtures/codecs
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Call the real program, so that no wrapper changes what it writes.
im=/usr/bin/convert
[ -x "$im" ] || im=convert

# 16 x 12 pixels of a photo, and the same with an alpha ramp (0 at the left, 255 at the right).
"$im" samples/coffee.jpg -resize '16x12!' -strip "$work/base.png"
"$im" "$work/base.png" -alpha set -channel A -fx 'i/(w-1)' +channel -strip "$work/alpha.png"
"$im" "$work/base.png" -negate "$work/negated.png"

# JPEG: 4:2:0, 4:4:4, progressive, grey, CMYK.
"$im" "$work/base.png" -quality 90 -sampling-factor 2x2 "$out/rgb.jpg"
"$im" "$work/base.png" -quality 90 -sampling-factor 1x1 "$out/rgb-444.jpg"
"$im" "$work/base.png" -quality 90 -interlace Plane "$out/progressive.jpg"
"$im" "$work/base.png" -quality 90 -colorspace Gray "$out/grey.jpg"
"$im" "$work/base.png" -quality 95 -sampling-factor 1x1 -colorspace CMYK "$out/cmyk.jpg"

# PNG: every colour type, low and high bit depths, interlace, tRNS, bKGD, pHYs.
"$im" "$work/base.png" -define png:color-type=2 "$out/png-rgb.png"
"$im" "$work/base.png" -colors 64 PNG8:"$out/png-palette.png"
"$im" "$work/alpha.png" -channel A -threshold 50% +channel -colors 32 PNG8:"$out/png-palette-trns.png"
"$im" "$work/base.png" -colorspace Gray -define png:color-type=0 -define png:bit-depth=8 "$out/png-grey.png"
"$im" "$work/base.png" -colorspace Gray -define png:color-type=0 -define png:bit-depth=4 "$out/png-grey4.png"
"$im" "$work/alpha.png" -colorspace Gray -define png:color-type=4 "$out/png-grey-alpha.png"
"$im" "$work/alpha.png" -define png:color-type=6 -define png:exclude-chunk=bKGD "$out/png-rgba.png"
"$im" "$work/alpha.png" -background '#3366CC' -define png:color-type=6 -define png:include-chunk=bKGD "$out/png-rgba-bkgd.png"
"$im" "$work/base.png" -depth 16 PNG48:"$out/png-rgb16.png"
"$im" "$work/alpha.png" -depth 16 -define png:exclude-chunk=bKGD PNG64:"$out/png-rgba16.png"
"$im" "$work/base.png" -interlace PNG -define png:color-type=2 "$out/png-interlaced.png"
"$im" "$work/base.png" -units PixelsPerCentimeter -density 28.35 "$out/png-2835ppm.png"

# GIF: three frames (the first with a transparent colour), interlaced, a first frame that
# covers only part of the screen.
"$im" "$work/base.png" -transparent "$("$im" "$work/base.png" -format '%[pixel:p{3,3}]' info:)" \
    "$work/negated.png" "$work/base.png" -delay 10 -loop 0 "$out/gif-anim.gif"
"$im" "$work/base.png" -interlace GIF "$out/gif-interlaced.gif"
"$im" "$work/base.png" -crop 8x6+0+0 +repage -background '#204060' -page 16x12+5+4 "$out/gif-offset.gif"

# PSD: raw and RLE, 3 and 4 channels; 16-bit and CMYK documents are refused by the reader.
"$im" "$work/base.png" -type TrueColor -compress None "$out/psd-raw3.psd"
"$im" "$work/base.png" -type TrueColor -compress RLE "$out/psd-rle3.psd"
"$im" "$work/alpha.png" -type TrueColorAlpha -compress None "$out/psd-raw4.psd"
"$im" "$work/alpha.png" -type TrueColorAlpha -compress RLE "$out/psd-rle4.psd"
"$im" "$work/base.png" -type TrueColor -depth 16 -compress None "$out/psd-16bit.psd"
"$im" "$work/base.png" -colorspace CMYK -compress None "$out/psd-cmyk.psd"

# BMP: 1, 4, 8 bits with palettes, 8 bits with the long header, 24 and 32 bits; the 16-bit
# file ImageMagick writes uses bit fields (refused by the reader).
"$im" "$work/base.png" -type Bilevel -compress None BMP3:"$out/bmp1.bmp"
"$im" "$work/base.png" -colors 16 -type Palette -compress None BMP3:"$out/bmp4.bmp"
"$im" "$work/base.png" -colors 200 -type Palette -compress None BMP3:"$out/bmp8.bmp"
"$im" "$work/base.png" -colors 200 -type Palette -compress None BMP:"$out/bmp8-v5.bmp"
"$im" "$work/base.png" -type TrueColor -compress None BMP3:"$out/bmp24.bmp"
"$im" "$work/alpha.png" -define bmp3:alpha=true -compress None BMP3:"$out/bmp32.bmp"
"$im" "$work/base.png" -type TrueColor -define bmp:subtype=RGB555 -compress None BMP:"$out/bmp16-bitfields.bmp"
"$im" "$work/base.png" -colors 16 -compress RLE BMP3:"$out/bmp8-rle.bmp"

# TIFF: with and without alpha, LZW and none, inches and centimetres.
"$im" "$work/base.png" -type TrueColor -compress None -units PixelsPerInch -density 300 "$out/tiff-rgb-none-inch.tif"
"$im" "$work/base.png" -type TrueColor -compress LZW -units PixelsPerCentimeter -density 118.11 "$out/tiff-rgb-lzw-cm.tif"
"$im" "$work/alpha.png" -type TrueColorAlpha -compress LZW -units PixelsPerInch -density 96 "$out/tiff-rgba-lzw-inch.tif"
"$im" "$work/alpha.png" -type TrueColorAlpha -compress None -units PixelsPerCentimeter -density 40 "$out/tiff-rgba-none-cm.tif"

# Files ImageMagick does not write: a 16-bit 5-5-5 BMP, a top-down 24-bit BMP and a PSD with
# five channels (the fifth all 0x55), raw and RLE, made from the same pixels.
"$im" "$work/alpha.png" -depth 8 "rgba:$work/alpha.rgba"
python3 - "$work/alpha.rgba" "$out" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
out = sys.argv[2]
w, h = 16, 12
px = [data[i:i + 4] for i in range(0, len(data), 4)]  # r, g, b, a; top row first

def bmp(name, bits, top_down, row_bytes):
    stride = (w * bits + 31) // 32 * 4
    rows = [row_bytes(px[y * w:(y + 1) * w]).ljust(stride, b'\0') for y in range(h)]
    body = b''.join(rows if top_down else rows[::-1])
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bits, 0, len(body),
                       3780, 3780, 0, 0)
    head = b'BM' + struct.pack('<IHHI', 14 + 40 + len(body), 0, 0, 54)
    open(f'{out}/{name}', 'wb').write(head + info + body)

bmp('bmp16.bmp', 16, False, lambda row: b''.join(
    struct.pack('<H', (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3) for p in row))
bmp('bmp24-topdown.bmp', 24, True, lambda row: b''.join(bytes((p[2], p[1], p[0])) for p in row))

def packbits(row):
    out, i = b'', 0
    while i < len(row):
        run = 1
        while i + run < len(row) and run < 128 and row[i + run] == row[i]:
            run += 1
        if run > 1:
            out += bytes((257 - run,)) + row[i:i + 1]
            i += run
        else:
            j = i + 1
            while j < len(row) and j - i < 128 and (j + 1 >= len(row) or row[j] != row[j + 1]):
                j += 1
            out += bytes((j - i - 1,)) + row[i:j]
            i = j
    return out

def psd(name, rle):
    planes = [bytes(p[c] for p in px) for c in range(4)] + [bytes([0x55]) * (w * h)]
    head = b'8BPS' + struct.pack('>H6xHIIHH', 1, 5, h, w, 8, 3)
    sections = struct.pack('>III', 0, 0, 0)
    if rle:
        rows = [packbits(plane[y * w:(y + 1) * w]) for plane in planes for y in range(h)]
        body = struct.pack('>H', 1) + b''.join(struct.pack('>H', len(r)) for r in rows) + b''.join(rows)
    else:
        body = struct.pack('>H', 0) + b''.join(planes)
    open(f'{out}/{name}', 'wb').write(head + sections + body)

psd('psd-raw5.psd', False)
psd('psd-rle5.psd', True)
PY

# ImageMagick's decoding of every readable fixture (the first frame of a GIF).
for f in "$out"/*.jpg "$out"/*.png "$out"/*.gif "$out"/*.psd "$out"/*.bmp "$out"/*.tif; do
    case "$f" in *psd-16bit.psd | *psd-cmyk.psd | *bmp16-bitfields.bmp | *bmp8-rle.bmp) continue ;; esac
    case "$f" in
    # The first frame on the whole logical screen, transparent where the frame does not reach.
    *.gif) "$im" "$f[0]" -background none -flatten -depth 8 "rgba:$f.rgba" ;;
    # This ImageMagick misreads the merged image of a document with alpha; its one layer
    # holds the same pixels.
    *psd-raw4.psd | *psd-rle4.psd) "$im" "$f[1]" -depth 8 "rgba:$f.rgba" ;;
    *) "$im" "$f[0]" -depth 8 "rgba:$f.rgba" ;;
    esac
done
