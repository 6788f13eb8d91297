// tavelune-cli histogram, run as a program: the canvas in each output format, and bad use.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::runTaveluneCli;
using test::shellQuote;

std::string histogramOf(const std::string& input, const std::string& output,
                        const std::string& options = {})
{
    return "histogram " + options + shellQuote(input) + " -o " + shellQuote(output);
}

TEST(HistogramCommand, WritesTheSameCanvasAsPngAndBmp)
{
    test::TempDir dir;
    const std::string sample = test::samplePath("coffee-exif.jpg");
    const std::string png = dir.file("h.png");
    const std::string bmp = dir.file("h.bmp");
    const std::string graph = dir.file("g.PNG");
    auto run = runTaveluneCli(histogramOf(sample, png));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, png + "\n");
    ASSERT_EQ(runTaveluneCli(histogramOf(sample, bmp)).status, 0);
    ASSERT_EQ(runTaveluneCli(histogramOf(sample, graph, "--graph-only ")).status, 0);

    Image fromPng, fromBmp, graphPart;
    ASSERT_TRUE(openImage(png, fromPng));
    ASSERT_TRUE(openImage(bmp, fromBmp));
    ASSERT_TRUE(openImage(graph, graphPart, ImageFormat::Png));
    ASSERT_EQ(fromPng.width(), 258);
    ASSERT_EQ(fromPng.height(), 135);
    ASSERT_EQ(fromBmp.height(), 135);
    ASSERT_EQ(graphPart.width(), 258);
    ASSERT_EQ(graphPart.height(), 107);
    bool textDrawn = false;
    for (int y = 0; y < 135; ++y) {
        for (int x = 0; x < 258; ++x) {
            const uint32_t pixel = fromPng.pixelAt(x, y) & 0x00FFFFFF;
            ASSERT_EQ(pixel, fromBmp.pixelAt(x, y) & 0x00FFFFFF) << x << ", " << y;
            if (y < 107)
                ASSERT_EQ(pixel, graphPart.pixelAt(x, y) & 0x00FFFFFF) << x << ", " << y;
            else if (x > 0 && x < 257 && y != 120 && y != 134 && pixel != 0)
                textDrawn = true;
        }
    }
    EXPECT_TRUE(textDrawn);
    EXPECT_EQ(fromPng.pixelAt(0, 0) & 0x00FFFFFF, 0x808080u);

    const std::string jpeg = dir.file("h.jpg");
    ASSERT_EQ(runTaveluneCli(histogramOf(sample, jpeg)).status, 0);
    Image fromJpeg;
    ASSERT_TRUE(openImage(jpeg, fromJpeg));
    EXPECT_EQ(fromJpeg.width(), 258);
}

TEST(HistogramCommand, RejectsBadUseAndUnreadableFiles)
{
    test::TempDir dir;
    const std::string sample = test::samplePath("coffee-exif.jpg");
    const struct {
        std::string arguments;
        int status;
    } cases[] = {
        {"histogram " + shellQuote(sample), 2},
        {"histogram -o " + shellQuote(dir.file("a.png")), 2},
        {histogramOf(sample, dir.file("a.tif")), 2},
        {histogramOf(sample, dir.file("a.png"), "--bogus "), 2},
        {histogramOf(sample, dir.file("a.png"), "--graph-only=1 "), 2},
        {histogramOf(dir.file("missing.jpg"), dir.file("a.png")), 1},
        {histogramOf(sample, dir.file("no/such/folder/a.png")), 1},
        {histogramOf(sample, dir.file("no/such/folder/a.bmp")), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runTaveluneCli(c.arguments).status, c.status) << c.arguments;
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.tif")));
    EXPECT_NE(runTaveluneCli(histogramOf(sample, dir.file("a.webp")))
                  .err.find("OUTPUT must end in .png, .jpg, .jpeg or .bmp\n"),
              std::string::npos);

    auto help = runTaveluneCli("histogram --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--graph-only"), std::string::npos);
}

}  // namespace
}  // namespace tavelune
