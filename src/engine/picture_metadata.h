// What a picture file carries beside its pixels and EXIF data: colour profile, XMP, IPTC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/image_format.h"

namespace tavelune {

/// Travels with a picture from the file it was read from to every file written from it.
struct PictureMetadata {
    /// The ICC profile, byte for byte.
    std::vector<std::uint8_t> icc;
    /// The main XMP packet as stored.
    std::string xmp;
    /// The extended XMP packet of a JPEG, joined from its chunks, and the GUID (32 hex
    /// digits) that ties it to the main packet; both empty when there is none.
    std::string extendedXmp;
    std::string extendedGuid;
    /// Photoshop image resources ("8BIM" blocks), IPTC-NAA in resource 0x0404 among them.
    std::vector<std::uint8_t> photoshop;

    bool empty() const
    {
        return icc.empty() && xmp.empty() && extendedXmp.empty() && photoshop.empty();
    }
    /// Everything but the colour profile gone: a profile is colour, not metadata.
    void stripDescriptive()
    {
        xmp.clear();
        extendedXmp.clear();
        extendedGuid.clear();
        photoshop.clear();
    }
};

/// Why part of a file's metadata was left out rather than guessed.
enum class MetadataProblem {
    IccSequence,          // the profile's chunks do not number 1..N once each
    ExtendedXmpBroken,    // extended XMP chunks overlap, leave gaps or disagree on the length
    PhotoshopBroken,      // the resource block does not hold together
    TooLarge,             // more than kMaxMetadataBytes, or more than a JPEG can hold
    ProfileNotConverted,  // asked to turn into sRGB, but the profile is not an RGB one we read
};

/// The most a file's metadata may take in memory; a header can claim any size.
inline constexpr std::size_t kMaxMetadataBytes = std::size_t(64) << 20;

struct MetadataRead {
    PictureMetadata metadata;
    std::vector<MetadataProblem> problems;
};

/// The metadata of the file at path, read as format (the path's extension when empty).
/// Formats that carry none, unreadable files and unknown kinds give an empty result.
MetadataRead readPictureMetadata(const std::string& path,
                                 std::optional<ImageFormat> format = std::nullopt);

/// The text shown for a problem (one line, about the file named).
std::string metadataProblemText(MetadataProblem problem, const std::string& file);

}  // namespace tavelune
