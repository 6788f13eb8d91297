// Turning a picture's colours into sRGB: the evaluator of LittleCMS's matrix-shaper tables
// gives LittleCMS's own bytes for every colour, and other profiles go through LittleCMS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/colour_profile.h"
#include "engine/image.h"
#include "support/test_colour.h"

namespace tavelune {
namespace {

// All 16,777,216 colours, with alphas that change along the rows.
Image everyColour()
{
    Image picture;
    if (!picture.create(4096, 4096, 72.0f))
        return picture;
    for (std::uint32_t i = 0; i < picture.pixelCount(); ++i)
        picture.pixels()[i] = (i & 0xFFFFFFu) | ((i * 2654435761u) & 0xFF000000u);
    return picture;
}

TEST(SrgbConversion, EveryColourAsLittleCmsTurnsIt)
{
    const Image colours = everyColour();
    ASSERT_FALSE(colours.isEmpty());
    const struct {
        const char* name;
        std::vector<std::uint8_t> icc;
        bool tablesHere;  // a matrix-shaper profile
    } profiles[] = {
        {"Adobe RGB", reference::adobeRgbProfile(), true},
        {"Display P3", reference::displayP3Profile(), true},
        {"sampled curves", reference::sampledCurveProfile(), true},
        {"table to Lab", reference::rgbTableProfile(), false},
    };
    for (const auto& profile : profiles) {
        SCOPED_TRACE(profile.name);
        ASSERT_FALSE(profile.icc.empty());
        SrgbConversion conversion;
        ASSERT_TRUE(conversion.open(profile.icc));
        EXPECT_EQ(conversion.evaluatesTablesHere(), profile.tablesHere);
        const Image expected = reference::lcmsSrgbCopy(colours, profile.icc);
        ASSERT_FALSE(expected.isEmpty());
        Image got = colours;
        // Odd runs: pixels are taken in pairs, and a run may end on a single one.
        for (std::size_t at = 0; at < got.pixelCount(); at += 4095)
            conversion.convert(got.pixels() + at, std::min<std::size_t>(4095, got.pixelCount() - at));
        std::size_t differing = 0;
        for (std::size_t i = 0; i < got.pixelCount(); ++i)
            differing += got.pixels()[i] != expected.pixels()[i];
        EXPECT_EQ(differing, 0u);
    }
}

}  // namespace
}  // namespace tavelune
