// A CMYK JPEG opened again with its inks read through the profile it carries, for a film that
// wants sRGB numbers; the built-in formula is only a guess at the printer's inks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "job/file_conversion.h"

namespace tavelune {

class GeometryRecord;

/// Whether a picture opened from path that carries icc has its inks read through icc when the
/// film asks for sRGB numbers: a JPEG whose profile is a CMYK one.
bool readsInksThroughProfile(const std::string& path, const std::vector<std::uint8_t>& icc);

/// openWorkingPicture with a CMYK JPEG's inks read through icc instead of the built-in formula.
/// throughProfile tells whether they were: the picture's numbers are sRGB then. A profile
/// LittleCMS cannot use leaves the formula's picture.
WorkingPictureOpen openThroughCmykProfile(const std::vector<std::uint8_t>& icc,
                                          bool& throughProfile, const std::string& path,
                                          Image& picture, ExifData& exif, int fit, bool orient,
                                          Rect* fullSize = nullptr,
                                          PictureMetadata* metadata = nullptr);

/// For the screen: a CMYK JPEG like, opened from path with fit, read again with its inks
/// through icc; empty when it is not such a photo, LittleCMS cannot use icc, or the read does
/// not match like's size.
Image cmykScreenCopy(const std::string& path, const std::vector<std::uint8_t>& icc, int fit,
                     const Image& like);

/// A working picture read again from its file (upright, at the size it was opened at) brought
/// to where the page's picture like is now: the recorded steps replayed and, when like was
/// resampled since (steps without a full size), resampled to like's size; like's resolution.
/// False when it cannot match like: the file is not the one that was opened.
bool followWorkingPicture(Image& picture, const GeometryRecord& steps, const Image& like);

}  // namespace tavelune
