// Font dialog choices: point sizes as LOGFONT heights, and a sample that matches the stamped text.
#include "overlay/font_choice.h"

#include <gtest/gtest.h>

#include "overlay/apply_overlay.h"

namespace tavelune {
namespace {

TEST(FontChoice, PointsAndHeightsRoundTrip)
{
    struct Row {
        int points;
        int height;
    };
    // MulDiv(points, 96, 72) rounded half away from zero.
    const Row rows[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {72, -96}, {0, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(fontHeightForPoints(row.points), row.height) << row.points;
        EXPECT_EQ(fontPointsForHeight(row.height), row.points) << row.height;
    }
    EXPECT_EQ(fontPointsForHeight(-11), 8) << "the initial font shows as 8 points";
    EXPECT_EQ(fontPointsForHeight(16), 12) << "a positive height reads the same";
    for (int points = 1; points <= 200; ++points)
        EXPECT_EQ(fontPointsForHeight(fontHeightForPoints(points)), points) << points;
}

int inkPixels(const Image& image, uint32_t colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixelAt(x, y) == colour;
    return count;
}

TEST(FontChoice, SampleIsThePageStampOnTheTextBoxBackground)
{
    FontChoice choice;
    choice.font.faceName = "DejaVu Sans";
    choice.font.height = -24;
    choice.colour = 0x0000FF;  // red
    const std::string text = "Ag\n中文";
    const Image sample = fontSample(choice, text, 4);
    ASSERT_FALSE(sample.isEmpty());

    // The same stamp on a photo of the background colour, at the same place.
    Image photo;
    photo.setFillColour(0xFFFFFFFF);
    ASSERT_TRUE(photo.create(sample.width(), sample.height(), 300.0f));
    OverlaySettings settings = OverlaySettings::watermark();
    settings.enabled = true;
    settings.mode = OverlayMode::Text;
    settings.offsetX = settings.offsetY = 4;
    settings.text = text;
    settings.font = choice.font;
    settings.textColour = choice.colour;
    ASSERT_TRUE(applyOverlay(photo, settings));
    ASSERT_GT(inkPixels(photo, 0xFFFF0000), 20);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x)
            ASSERT_EQ(sample.pixelAt(x, y), photo.pixelAt(x, y)) << x << "," << y;
    EXPECT_EQ(sample.pixelAt(0, 0), 0xFFFFFFFFu) << "the margin is the text box's background";
}

// The text box stays readable: black behind a text too light for white (0x00BBGGRR).
TEST(FontChoice, TextBoxBackgroundContrastsWithTheText)
{
    const std::pair<uint32_t, uint32_t> rows[] = {
        {0xFFFFFF, 0x000000}, {0x00FFFF, 0x000000},  // white, yellow
        {0xE0E0E0, 0x000000}, {0x00FF00, 0x000000},  // pale grey, green
        {0x000000, 0xFFFFFF}, {0x0000FF, 0xFFFFFF},  // black, red
        {0x808080, 0xFFFFFF}, {0x800000, 0xFFFFFF},  // mid grey, navy
    };
    for (const auto& [text, background] : rows)
        EXPECT_EQ(textBoxBackground(text), background) << std::hex << text;
}

TEST(FontChoice, SampleShowsWhiteTextOnBlackAndTheStyles)
{
    FontChoice choice;
    choice.font.faceName = "DejaVu Sans";
    choice.font.height = -20;
    choice.colour = 0xFFFFFF;
    const Image plain = fontSample(choice, "Hello", 2);
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_EQ(plain.pixelAt(0, 0), 0xFF000000u) << "white text is previewed on black";

    choice.font.weight = kWeightBold;
    const Image bold = fontSample(choice, "Hello", 2);
    EXPECT_GT(inkPixels(bold, 0xFFFFFFFF), inkPixels(plain, 0xFFFFFFFF));
    choice.font.weight = kWeightNormal;
    choice.font.underline = true;
    const Image underlined = fontSample(choice, "Hello", 2);
    EXPECT_GT(inkPixels(underlined, 0xFFFFFFFF), inkPixels(plain, 0xFFFFFFFF) + plain.width() / 2);
}

TEST(FontChoice, NoSampleWithoutText)
{
    FontChoice choice;
    choice.font.faceName = "DejaVu Sans";
    EXPECT_TRUE(fontSample(choice, "", 4).isEmpty());
    EXPECT_FALSE(fontSample(choice, "\n", 4).isEmpty()) << "an empty line still has height";
}

}  // namespace
}  // namespace tavelune
