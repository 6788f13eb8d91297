// The font dialog's choices as the text renderer takes them, and the sample it previews.
#pragma once

#include <cstdint>
#include <string>

#include "engine/image.h"
#include "overlay/overlay_settings.h"

namespace tavelune {

/// Point sizes are turned into pixels at this resolution, whatever the screen, so that a size
/// chosen once gives the same text height on every machine.
inline constexpr int kFontDialogDpi = 96;

inline constexpr int kWeightNormal = 400;
inline constexpr int kWeightBold = 700;

/// LOGFONT height for a size in points: the character height in pixels, negated.
int fontHeightForPoints(int points);
/// The point size a LOGFONT height shows as (rounded); 0 for a height of 0.
int fontPointsForHeight(int height);

/// What the font dialog edits: the font and the text colour (0x00BBGGRR).
struct FontChoice {
    OverlayFont font;
    uint32_t colour = 0x000000;
};

/// The sample drawn exactly as the page would stamp it: the text at (margin, margin) on an
/// opaque picture of the text box's background, sized to the text plus the margins. Empty
/// when the font cannot be made or the text has no size.
Image fontSample(const FontChoice& choice, const std::string& text, int margin);

}  // namespace tavelune
