// The colour profile, XMP, IPTC and Photoshop tags of a TIFF file's first directory.
#pragma once

#include <cstdio>
#include <string>

#include "engine/picture_metadata.h"

struct tiff;

namespace tavelune {

/// Reads tags 34675 (ICC), 700 (XMP), 33723 (IPTC) and 34377 (Photoshop resources) of the
/// first directory of a classic TIFF stream, every offset and count checked against the
/// stream's length. IPTC found only in 33723 is carried inside the Photoshop resources.
MetadataRead readTiffMetadata(std::FILE* file);

/// Sets the four tags on a directory being written; false when libtiff refuses one. IPTC goes
/// into 33723 alone, not also among the Photoshop resources.
bool setTiffMetadataTags(struct tiff* tiff, const PictureMetadata& metadata);

/// Readers expect 33723 as longs, which libtiff writes as bytes: retypes the entry in the
/// first directory of the little-endian file libtiff just wrote at path. False when the file
/// cannot be changed or holds no such entry.
bool markIptcAsLongs(const std::string& path);

}  // namespace tavelune
