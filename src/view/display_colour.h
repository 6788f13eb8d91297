// What a picture looks like on the screen: its numbers read through its colour profile.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/image.h"

namespace tavelune {

/// The numbers to put on an sRGB screen for picture, tagged with icc: its colours turned into
/// sRGB (perceptual intent, black-point compensation). An empty Image when the picture's own
/// numbers are what the screen takes: no profile (sRGB), our sRGB profile, or a profile that
/// cannot be used (shown as its numbers, as a viewer without colour management would).
Image srgbDisplayCopy(const Image& picture, const std::vector<std::uint8_t>& icc);

}  // namespace tavelune
