#!/usr/bin/env bash
# Makes the small JPEG files under tests/fixtures/exif/ whose EXIF data exiftool wrote with
# known values, and records what exiftool reads back (-n, numbers unconverted) beside each.
# Needs exiftool (libimage-exiftool-perl) and djpeg/cjpeg (libjpeg-turbo-progs). Run it once and
# commit the results; the tests read the committed files and never run exiftool.
set -euo pipefail
cd "$(dirname "$0")/.."
out=tests/fixtures/exif
mkdir -p "$out"

# A reduced copy of a sample photo: 57 x 38 pixels, well under a kilobyte of image data.
djpeg -scale 1/8 samples/chelsea.jpg | cjpeg -quality 60 > "$out/no_exif.jpg"

# The tags compared by the test; exiftool -n prints raw numbers (APEX values as converted by
# exiftool: ShutterSpeedValue in seconds, the apertures as f-numbers).
read_tags=(-Make -Model -Orientation -XResolution -YResolution -ResolutionUnit -Software
  -ModifyDate -Artist -Copyright -ExposureTime -FNumber -ExposureProgram -ISO
  -DateTimeOriginal -CreateDate -ShutterSpeedValue -ApertureValue -ExposureCompensation
  -MaxApertureValue -SubjectDistance -MeteringMode -LightSource -Flash -FocalLength
  -UserComment -ColorSpace -ExifImageWidth -ExifImageHeight -ExposureMode -WhiteBalance
  -DigitalZoomRatio -FocalLengthIn35mmFormat -SceneCaptureType -GainControl -Contrast
  -Saturation -Sharpness -SubjectDistanceRange -InteropIndex -ExifVersion)

# Every tag is written to and read from the EXIF group only: without the group exiftool may
# put a value into XMP (Flash) or read it from the JFIF segment (the resolutions).
make_fixture() {
  local name=$1
  shift
  local writes=() reads=() arg
  for arg in "$@"; do
    case $arg in
      -ExifByteOrder=*) writes+=("$arg") ;;
      -*) writes+=("-EXIF:${arg#-}") ;;
    esac
  done
  for arg in "${read_tags[@]}"; do reads+=("-EXIF:${arg#-}"); done
  cp "$out/no_exif.jpg" "$out/$name.jpg"
  exiftool -q -overwrite_original -n "${writes[@]}" "$out/$name.jpg"
  exiftool -n -S -f "${reads[@]}" "$out/$name.jpg" > "$out/$name.exiftool.txt"
}

make_fixture canon_intel -ExifByteOrder=II \
  -Make=Canon -Model="Canon EOS 5D" -Orientation=6 -XResolution=300 -YResolution=300 \
  -ResolutionUnit=2 -Software="fixture 1" -ModifyDate="2024:05:02 08:00:00" \
  -Artist="Ada Lens" -Copyright="CC0 fixture" -ExposureTime=0.004 -FNumber=5.6 \
  -ExposureProgram=3 -ISO=400 -DateTimeOriginal="2024:05:01 10:30:00" \
  -CreateDate="2024:05:01 10:30:01" -ShutterSpeedValue=0.004 -ApertureValue=5.6 \
  -ExposureCompensation=-0.6666667 -MaxApertureValue=1.4 -SubjectDistance=3.5 -MeteringMode=5 \
  -LightSource=1 -Flash=25 -FocalLength=50 -UserComment="hello fixture" -ColorSpace=1 \
  -ExifImageWidth=57 -ExifImageHeight=38 -ExposureMode=0 -WhiteBalance=0 \
  -DigitalZoomRatio=1.5 -FocalLengthIn35mmFormat=80 -SceneCaptureType=1 -GainControl=0 \
  -Contrast=0 -Saturation=2 -Sharpness=1 -SubjectDistanceRange=3 -InteropIndex=R98

make_fixture nikon_motorola -ExifByteOrder=MM \
  -Make="NIKON CORPORATION" -Model="NIKON D70" -Orientation=1 -XResolution=72 -YResolution=72 \
  -ResolutionUnit=3 -Software="fixture 2" -ModifyDate="2023:12:31 23:59:59" \
  -ExposureTime=2 -FNumber=11 -ExposureProgram=1 -ISO=100 \
  -DateTimeOriginal="2023:12:31 23:59:58" -CreateDate="2023:12:31 23:59:58" \
  -ShutterSpeedValue=2 -ApertureValue=11 -ExposureCompensation=0.3333333 -SubjectDistance=0 \
  -MeteringMode=2 -LightSource=21 -Flash=16 -FocalLength=18 -ColorSpace=65535 \
  -ExifImageWidth=57 -ExifImageHeight=38 -ExposureMode=1 -WhiteBalance=1 \
  -FocalLengthIn35mmFormat=27 -SceneCaptureType=3 -Contrast=1 -Saturation=0 -Sharpness=2

make_fixture minimal_ifd0 -ExifByteOrder=II -Make="Scanner Co " -Orientation=8 \
  -XResolution=2400 -YResolution=2400 -ResolutionUnit=2

ls -l "$out"
