// A CMYK JPEG opened again with its inks read through the profile it carries, for a film that
// wants sRGB numbers; the built-in formula is only a guess at the printer's inks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
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

/// A CMYK JPEG's working picture, upright, with its inks read through its profile, and what it
/// was read from: a file written since must be read again.
struct InksRead {
    std::string path;
    std::vector<std::uint8_t> profile;
    int fit = 0;
    std::filesystem::file_time_type written;
    std::uintmax_t size = 0;
    Image picture;  // empty: the inks could not be read through the profile

    /// Whether this is the read of file through icc at atFit as the file is now.
    bool describes(const std::string& file, const std::vector<std::uint8_t>& icc, int atFit) const;
};

/// openThroughCmykProfile of path at fit (upright), stamped with the file's time and size.
std::shared_ptr<const InksRead> readInks(const std::string& path,
                                         const std::vector<std::uint8_t>& icc, int fit);

/// For the screen: a CMYK JPEG like, opened from path with fit, read again with its inks
/// through icc; empty when it is not such a photo, LittleCMS cannot use icc, or the read does
/// not match like's size.
Image cmykScreenCopy(const std::string& path, const std::vector<std::uint8_t>& icc, int fit,
                     const Image& like);
/// The same from a read already made (null, or not like's size: empty).
Image cmykScreenCopy(const InksRead* read, const Image& like);

/// A working picture read again from its file (upright, at the size it was opened at) brought
/// to where the page's picture like is now: the recorded steps replayed and, when like was
/// resampled since (steps without a full size), resampled to like's size; like's resolution.
/// False when it cannot match like: the file is not the one that was opened.
bool followWorkingPicture(Image& picture, const GeometryRecord& steps, const Image& like);

}  // namespace tavelune
