// Colour profiles: the sRGB one a new picture is tagged with, and what a profile calls itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/picture_metadata.h"

namespace tavelune {

/// An sRGB profile made by LittleCMS, the same bytes on every call.
const std::vector<std::uint8_t>& srgbProfile();

/// Metadata of a picture made here from others (an index sheet): sRGB and nothing else.
PictureMetadata srgbOnlyMetadata();

/// The profile's description ("Adobe RGB (1998)"); empty when LittleCMS cannot read it.
std::string profileDescription(const std::vector<std::uint8_t>& icc);

}  // namespace tavelune
