// Settings text: every key read back as written, problems reported with their lines.
#include "job/settings_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(SettingsFile, WrittenTextReadsBackToTheSameSettings)
{
    ConversionSettings settings;
    settings.film.filmType = kFilmTmax;
    settings.film.exposure = -3;
    settings.film.highKey = false;
    settings.signature.text = "line one\nC:\\path <FNumber/>";
    settings.signature.font.height = -24;
    settings.signature.font.weight = 700;
    settings.signature.textColour = 0x00332211;
    settings.watermark.setTransparentColour(0x00FFFFFF);
    settings.watermark.offsetX = 1.25;
    settings.watermark.unit = 2;
    settings.border.enabled = true;
    settings.border.mat.sides = {5, 6, 7, 8};
    settings.border.borderColour = kNoColour;
    settings.border.inside = true;
    settings.tags.userName = "  Ada ";  // spaces at the ends survive the line trim
    settings.watermark.text = " ";

    const std::string text = settingsText(settings);
    ConversionSettings read;
    std::vector<SettingsProblem> problems;
    ASSERT_TRUE(readSettingsText(text, read, problems)) << problems[0].message;
    EXPECT_EQ(settingsText(read), text);
    EXPECT_EQ(read.signature.text, settings.signature.text);
    EXPECT_EQ(read.tags.userName, settings.tags.userName);
    EXPECT_EQ(read.watermark.text, settings.watermark.text);
    EXPECT_EQ(read.signature.textColour, 0x00332211u);
    EXPECT_EQ(read.border.mat.sides, settings.border.mat.sides);
    EXPECT_EQ(read.watermark.transparentColour, 0x00FFFFFF);
    EXPECT_NE(text.find("colour = 112233"), std::string::npos);  // RRGGBB on the page
}

TEST(SettingsFile, WidthsFollowCssOrder)
{
    struct Case {
        const char* text;
        Sides expected;  // top, bottom, left, right
    };
    const Case cases[] = {
        {"4", {4, 4, 4, 4}},
        {"1,2", {1, 1, 2, 2}},
        {"1,2,3", {1, 3, 2, 2}},
        {"1,2,3,4", {1, 3, 4, 2}},
    };
    for (const Case& c : cases) {
        ConversionSettings settings;
        std::string reason;
        ASSERT_TRUE(applySetting(settings, "border", "mat", c.text, reason)) << reason;
        EXPECT_EQ(settings.border.mat.sides, c.expected) << c.text;
    }
}

TEST(SettingsFile, ProblemsCarryTheirLineAndLeaveValuesAlone)
{
    const std::string text = "# comment\n"
                             "[film]\n"
                             "exposure = 9\n"
                             "colour = red\n"
                             "saturation = 4\n"
                             "[lens]\n"
                             "focal = 50\n"
                             "[watermark]\n"
                             "align = left\n"
                             "key = 12345\n"
                             "just text\n";
    ConversionSettings settings;
    std::vector<SettingsProblem> problems;
    EXPECT_FALSE(readSettingsText(text, settings, problems));
    ASSERT_EQ(problems.size(), 6u);
    const int lines[] = {3, 4, 6, 9, 10, 11};
    for (size_t i = 0; i < problems.size(); ++i)
        EXPECT_EQ(problems[i].line, lines[i]) << problems[i].message;
    EXPECT_NE(problems[0].message.find("exposure"), std::string::npos);
    EXPECT_NE(problems[1].message.find("unknown key"), std::string::npos);
    EXPECT_NE(problems[2].message.find("[lens]"), std::string::npos);
    EXPECT_EQ(settings.film.exposure, 0);
    EXPECT_EQ(settings.film.saturation, 4);  // good lines still count
    EXPECT_EQ(settings.watermark.horizontal, kAlignLeft);
}

TEST(SettingsFile, PictureKeysNeedReadableFiles)
{
    ConversionSettings settings;
    std::string reason;
    test::MessageCollector messages;
    EXPECT_FALSE(applySetting(settings, "watermark", "picture", "/no/such.png", reason));
    EXPECT_NE(reason.find("/no/such.png"), std::string::npos);
    EXPECT_TRUE(settings.watermark.picture.isEmpty());
    EXPECT_FALSE(applySetting(settings, "border", "mat-image", "/no/such.png", reason));
    ASSERT_TRUE(applySetting(settings, "watermark", "picture", test::samplePath("chelsea.jpg"), reason));
    EXPECT_EQ(settings.watermark.picture.width(), 451);
}

TEST(SettingsFile, SavedFileLoadsBack)
{
    test::TempDir dir;
    ConversionSettings settings;
    settings.film.saturation = -7;
    std::string reason;
    ASSERT_TRUE(saveSettingsFile(dir.file("a.ini"), settings, reason)) << reason;
    ConversionSettings read;
    std::vector<SettingsProblem> problems;
    ASSERT_TRUE(loadSettingsFile(dir.file("a.ini"), read, problems));
    EXPECT_EQ(read.film.saturation, -7);
    EXPECT_FALSE(loadSettingsFile(dir.file("missing.ini"), read, problems));
}

}  // namespace
}  // namespace tavelune
