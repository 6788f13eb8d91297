// Save-option rules: JPEG presets by range, the coupled edit, list and slider, the range
// message; the TIFF choice.
#include "engine/save_options_model.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavelune {
namespace {


TEST(JpegOptionsModel, OpeningSelectsThePresetByRange)
{
    struct Case {
        int quality;
        int preset;
        int slider;
    };
    const Case cases[] = {{75, 2, 75}, {59, 1, 59}, {80, 3, 80},   {29, 0, 29}, {30, 1, 30},
                          {60, 2, 60}, {79, 2, 79}, {100, 3, 100}, {1, 0, 1},   {0, 0, 1}};
    for (const Case& c : cases) {
        JpegOptionsModel model;
        model.setQuality(c.quality);
        model.open();
        EXPECT_EQ(model.qualityText(), std::to_string(c.quality));
        EXPECT_EQ(model.presetIndex(), c.preset) << c.quality;
        EXPECT_EQ(model.sliderPosition(), c.slider) << c.quality;
    }
    JpegOptionsModel defaults;
    defaults.open();
    EXPECT_EQ(defaults.quality(), 75);
    EXPECT_STREQ(JpegOptionsModel::kPresets[defaults.presetIndex()].text, "高");
    EXPECT_TRUE(defaults.keepExifBox());
}

TEST(JpegOptionsModel, EditListAndSliderFollowEachOther)
{
    JpegOptionsModel model;
    model.open();
    model.choosePreset(0);  // "低"
    EXPECT_EQ(model.qualityText(), "10");
    EXPECT_EQ(model.sliderPosition(), 10);
    EXPECT_EQ(model.quality(), 10);
    model.choosePreset(3);
    EXPECT_EQ(model.qualityText(), "80");
    EXPECT_EQ(model.sliderPosition(), 80);
    model.choosePreset(4);  // no such item
    EXPECT_EQ(model.quality(), 80);

    model.editQuality("45");
    EXPECT_EQ(model.quality(), 45);
    EXPECT_EQ(model.presetIndex(), 1);
    EXPECT_EQ(model.sliderPosition(), 45);

    model.moveSlider(61);
    EXPECT_EQ(model.qualityText(), "61");
    EXPECT_EQ(model.presetIndex(), 2);
    EXPECT_EQ(model.quality(), 61);
}

TEST(JpegOptionsModel, LeavingTheEditPutsInTheNearestLimit)
{
    struct Case {
        const char* typed;
        bool message;
        const char* shown;
    };
    const Case cases[] = {{"150", true, "100"},  {"0", true, "1"},  {"", true, "1"},
                          {"100", false, "100"}, {"1", false, "1"}, {"50", false, "50"}};
    for (const Case& c : cases) {
        JpegOptionsModel model;
        model.open();
        model.editQuality(c.typed);
        test::MessageCollector collector;
        EXPECT_EQ(model.qualityEditLostFocus(), c.message) << c.typed;
        EXPECT_EQ(model.qualityText(), c.shown) << c.typed;
        // The model says the range message is due; the front end shows it.
        EXPECT_TRUE(collector.texts().empty()) << c.typed;
        EXPECT_FALSE(model.accept()) << "replaced once already: " << c.typed;
        EXPECT_EQ(model.quality(), std::stoi(c.shown)) << c.typed;

        // A front end with its own texts gets the same replacement and no message.
        JpegOptionsModel silent;
        silent.open();
        silent.editQuality(c.typed);
        collector.clear();
        EXPECT_EQ(silent.replaceOutOfRangeQuality(), c.message) << c.typed;
        EXPECT_EQ(silent.qualityText(), c.shown) << c.typed;
        EXPECT_EQ(silent.sliderPosition(), std::stoi(c.shown)) << c.typed;
        EXPECT_TRUE(collector.texts().empty()) << c.typed;
    }
}

TEST(JpegOptionsModel, OkTakesTheEditAndTheBox)
{
    JpegOptionsModel model;
    model.setKeepExif(false);
    model.open();
    EXPECT_FALSE(model.keepExifBox());
    model.editQuality("92");
    model.setKeepExifBox(true);
    model.accept();
    EXPECT_EQ(model.quality(), 92);
    EXPECT_TRUE(model.keepExif());

    // OK by Enter while 150 is still in the edit: the encoder gets 100, after the message
    test::MessageCollector collector;
    model.editQuality("150");
    EXPECT_TRUE(model.accept());
    EXPECT_EQ(model.quality(), 100);
    EXPECT_TRUE(collector.texts().empty());
}

TEST(TiffOptionsModel, ChoiceMapsToCompressionCodes)
{
    TiffOptionsModel defaults;
    defaults.open();
    EXPECT_FALSE(defaults.uncompressedSelected());
    EXPECT_TRUE(defaults.keepExifBox());
    defaults.accept();
    EXPECT_EQ(defaults.compression(), 5);
    EXPECT_TRUE(defaults.keepExif());

    TiffOptionsModel none;
    none.setCompression(1);
    none.setKeepExif(false);
    none.open();
    EXPECT_TRUE(none.uncompressedSelected());
    EXPECT_FALSE(none.keepExifBox());
    none.accept();
    EXPECT_EQ(none.compression(), 1);

    TiffOptionsModel other;
    other.setCompression(7);  // anything but 1 shows LZW
    other.open();
    EXPECT_FALSE(other.uncompressedSelected());
    other.selectUncompressed(true);
    other.setKeepExifBox(false);
    other.accept();
    EXPECT_EQ(other.compression(), 1);
    EXPECT_FALSE(other.keepExif());
}

}  // namespace
}  // namespace tavelune
