// The sRGB colour profile a new picture is tagged with.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/picture_metadata.h"

namespace tavelune {

/// An sRGB profile made by LittleCMS, the same bytes on every call.
const std::vector<std::uint8_t>& srgbProfile();

/// Metadata of a picture made here from others (an index sheet): sRGB and nothing else.
PictureMetadata srgbOnlyMetadata();

}  // namespace tavelune
