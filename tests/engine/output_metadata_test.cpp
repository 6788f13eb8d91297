// What a written file's metadata keeps of its source's.
#include "engine/output_metadata.h"

#include <gtest/gtest.h>

#include "engine/colour_profile.h"
#include "support/test_colour.h"

namespace tavelune {
namespace {

// Outputs are RGB: an RGB profile (or one we cannot read) stays byte for byte, a CMYK one goes.
TEST(OutputMetadata, KeepsOnlyProfilesAnRgbPictureCanUse)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> icc;
        bool kept;
    } cases[] = {
        {"wide RGB", reference::adobeRgbProfile(), true},
        {"our sRGB", srgbProfile(), true},
        {"not a profile", std::vector<std::uint8_t>(200, 0x41), true},
        {"CMYK", reference::cmykProfile(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.icc.empty());
        PictureMetadata source;
        source.icc = c.icc;
        for (ImageFormat format : {ImageFormat::Jpeg, ImageFormat::Tiff}) {
            const PictureMetadata out = metadataForOutput(source, format, 10, 10, true);
            EXPECT_EQ(out.icc, c.kept ? c.icc : std::vector<std::uint8_t>());
        }
    }
}

}  // namespace
}  // namespace tavelune
