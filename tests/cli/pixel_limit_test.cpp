// Pictures whose headers claim more pixels than allowed, through every command that reads them.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::runTaveluneCli;
using test::childPeakKilobytes;
using test::shellQuote;

// A JPEG of a few kilobytes whose frame header claims 32768 x 32768 pixels.
void writeJpegBomb(const std::string& fixture, const std::string& path)
{
    auto jpeg = test::readFileBytes(test::fixturePath(fixture));
    size_t at = 2;
    while (at + 9 < jpeg.size() &&
           !(jpeg[at] == 0xFF && (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2)))
        ++at;
    ASSERT_LT(at + 9, jpeg.size());
    for (size_t i = at + 5; i < at + 9; i += 2) {
        jpeg[i] = 0x80;
        jpeg[i + 1] = 0x00;
    }
    test::writeFileBytes(path, jpeg);
}

TEST(PixelLimit, EveryCommandRefusesAHeaderBombNamingItsSizeWithinMemory)
{
    test::TempDir dir;
    const std::string bomb = dir.file("bomb.jpg"), cmyk = dir.file("cmyk.jpg");
    writeJpegBomb("codecs/rgb.jpg", bomb);
    writeJpegBomb("codecs/cmyk.jpg", cmyk);
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    struct Case {
        std::string arguments;
        std::string named;
    };
    const Case cases[] = {
        {"convert " + shellQuote(bomb) + " " + shellQuote(out + "/a.jpg"), bomb},
        {"convert --no-film --rotate 90 " + shellQuote(cmyk) + " " + shellQuote(out + "/b.tif"),
         cmyk},
        {"histogram " + shellQuote(cmyk) + " -o " + shellQuote(out + "/h.png"), cmyk},
        // The sheet is still made, with the cell black.
        {"index " + shellQuote(bomb) + " -o " + shellQuote(dir.file("sheet.jpg")), bomb},
        {"batch --jobs 2 " + shellQuote(bomb) + " " + shellQuote(cmyk) + " -o " + shellQuote(out),
         cmyk},
    };
    for (const Case& c : cases) {
        auto run = runTaveluneCli(c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments << "\n" << run.err << run.out;
        EXPECT_NE((run.err + run.out).find(c.named + " declares 32768 x 32768 pixels, over the "
                                                     "limit of 268435456 pixels"),
                  std::string::npos)
            << c.arguments << "\n" << run.err << run.out;
        EXPECT_TRUE(std::filesystem::is_empty(out)) << c.arguments;
    }
    EXPECT_LT(childPeakKilobytes(), 512L * 1024);
}

TEST(PixelLimit, TheOptionSetsTheLimitOfAnyCommand)
{
    test::TempDir dir;
    const std::string sample = shellQuote(test::samplePath("coffee.jpg"));  // 600 x 400
    auto lowered = runTaveluneCli("convert --max-pixels 239999 " + sample + " " +
                                  shellQuote(dir.file("a.jpg")));
    EXPECT_EQ(lowered.status, 1);
    EXPECT_NE(lowered.err.find("declares 600 x 400 pixels, over the limit of 239999 pixels"),
              std::string::npos)
        << lowered.err;
    auto exact = runTaveluneCli("histogram " + sample + " --max-pixels=240000 -o " +
                                shellQuote(dir.file("h.png")));
    EXPECT_EQ(exact.status, 0) << exact.err;
    for (const char* bad : {"0", "-5", "12x", "99999999999999999999"}) {
        auto run = runTaveluneCli(std::string("convert --max-pixels ") + bad + " " + sample + " " +
                                  shellQuote(dir.file("b.jpg")));
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("--max-pixels must be"), std::string::npos) << run.err;
    }
}

TEST(PixelLimit, AStepThatCannotBeMadeFailsTheConversionAndWritesNothing)
{
    test::TempDir dir;
    const std::string sample = shellQuote(test::samplePath("coffee.jpg"));  // 600 x 400
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"convert --border 100000 " + sample + " " + shellQuote(out + "/a.jpg"),
         "the frame would measure 200600 x 200400 pixels, over the limit of 268435456 pixels"},
        {"convert --no-film --max-pixels 250000 --mat 20 " + sample + " " +
             shellQuote(out + "/b.tif"),
         "the frame would measure 640 x 440 pixels, over the limit of 250000 pixels"},
        {"convert --resize 65535x65535 " + sample + " " + shellQuote(out + "/c.jpg"),
         "the resized picture would measure 65535 x 65535 pixels, over the limit"},
        {"batch --jobs 1 --border 100000 " + sample + " -o " + shellQuote(out),
         "the frame would measure 200600 x 200400 pixels"},
    };
    for (const Case& c : cases) {
        auto run = runTaveluneCli(c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE((run.err + run.out).find(c.message), std::string::npos)
            << c.arguments << "\n" << run.err << run.out;
        EXPECT_TRUE(std::filesystem::is_empty(out)) << c.arguments;
    }
}

TEST(PixelLimit, ATextFarWiderThanThePictureIsDrawnWhereItLands)
{
    test::TempDir dir;
    const std::string sample = shellQuote(test::samplePath("coffee.jpg"));
    const std::string plain = dir.file("plain.bmp"), marked = dir.file("marked.bmp");
    ASSERT_EQ(runTaveluneCli("convert --no-film " + sample + " " + shellQuote(plain)).status, 0);
    // Middle alignment puts the letter's body, not the space above it, on the picture.
    auto run = runTaveluneCli("convert --no-film --watermark-size 2048 --watermark-offset 0,0 "
                              "--watermark-align left,middle --watermark-text W" +
                              std::string(100000, 'a') + " " + sample + " " + shellQuote(marked));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(test::readFileBytes(plain), test::readFileBytes(marked));
    EXPECT_LT(childPeakKilobytes(), 512L * 1024);
}

}  // namespace
}  // namespace tavelune
