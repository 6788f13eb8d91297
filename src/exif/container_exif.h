// EXIF data of the formats that hold it in their own structure: camera raws, HEIF, WebP, PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/image_format.h"
#include "engine/raw_codec.h"
#include "exif/exif_entry.h"

namespace tavelune {

enum class ExifContainer {
    None,     // not one of these formats
    TiffRaw,  // a raw whose file is a TIFF structure (some with their own header magic)
    Raw,      // any other raw: the model is built from what LibRaw reports
    Heif,
    Webp,
    Png,  // its eXIf chunk
};

ExifContainer exifContainerOf(ImageFormat format);

/// The TIFF structure to parse for the file's EXIF data: a TIFF-based raw's own bytes (with a
/// maker's header magic turned to 42), or the EXIF block of a HEIF, WebP or PNG file. Empty when
/// there is none; false when the file cannot be read.
bool containerExifTiff(const std::string& path, ExifContainer container,
                       std::vector<std::uint8_t>& tiff);

/// Entries made from a raw's shot information: Make, Model, Orientation, DateTime, Artist in
/// IFD0; ExposureTime, FNumber, ISOSpeedRatings, DateTimeOriginal, FocalLength and Lens in
/// the Exif directory; values that LibRaw does not know are left out.
std::vector<std::unique_ptr<ExifEntry>> exifEntriesFromShot(const RawShotInfo& shot);

}  // namespace tavelune
