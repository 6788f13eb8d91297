// A build with one made-up format row: the row alone puts the format into the help texts,
// the usage checks and the open and save roads of the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

const std::string kFakeCli = TAVELUNE_FAKECLI_PATH;

TEST(FakeFormatRow, ReachesTheHelpTexts)
{
    const struct {
        const char* command;
        const char* listed;
    } cases[] = {
        {"convert --help", "(JPEG, TIFF, PNG, GIF, PSD, BMP, WebP, HEIF, AVIF, Camera Raw or FAKE)"},
        {"convert --help", "(jpg, jpeg, tif, tiff, png, bmp, webp, fake, fk)"},
        {"histogram --help", "(JPEG, TIFF, PNG, GIF, PSD, BMP, WebP, HEIF, AVIF, Camera Raw or FAKE)"},
        {"index --help", "Pictures: .jpg .jpeg .tif .tiff .png .gif .psd .bmp .webp .heic"},
        {"index --help", ".mrw .x3f .fake .fk (any case)"},
        {"index --help", "format: .jpg/.jpeg, .tif/.tiff, .png, .bmp, .webp or .fake/.fk."},
        {"batch --help", "--type T               jpeg (default), tiff, bmp, png, webp or fake"},
    };
    for (const auto& c : cases) {
        const test::CliResult made = test::runCliProgram(kFakeCli, c.command);
        EXPECT_EQ(made.status, 0) << c.command;
        // Long lists are flowed over several lines.
        std::string flowed = made.out;
        std::replace(flowed.begin(), flowed.end(), '\n', ' ');
        EXPECT_NE(flowed.find(c.listed), std::string::npos) << c.command << "\n" << made.out;
        for (size_t start = 0, end; (end = made.out.find('\n', start)) != std::string::npos;
             start = end + 1)
            EXPECT_LE(end - start, 90u) << made.out.substr(start, end - start);
        // The program itself lists no such format.
        const test::CliResult plain = test::runTaveluneCli(c.command);
        EXPECT_EQ(plain.out.find("fake"), std::string::npos) << c.command;
    }
    const test::CliResult refused = test::runCliProgram(kFakeCli, "index -o sheet.gif a.jpg");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("a .jpg, .jpeg, .tif, .tiff, .png, .bmp, .webp, .fake or .fk file"),
              std::string::npos)
        << refused.err;
}

TEST(FakeFormatRow, ConvertsIntoAndOutOfTheNewFormat)
{
    test::TempDir dir;
    Image source;
    ASSERT_TRUE(source.allocate(40, 30, 72.0f));
    ASSERT_TRUE(saveImage(dir.file("in.bmp"), source));
    const test::CliResult into = test::runCliProgram(
        kFakeCli, "convert " + test::shellQuote(dir.file("in.bmp")) + " " +
                      test::shellQuote(dir.file("out.FAKE")));
    ASSERT_EQ(into.status, 0) << into.err;
    const test::CliResult back = test::runCliProgram(
        kFakeCli, "convert " + test::shellQuote(dir.file("out.FAKE")) + " " +
                      test::shellQuote(dir.file("back.bmp")));
    ASSERT_EQ(back.status, 0) << back.err;
    Image picture;
    ASSERT_TRUE(openImage(dir.file("back.bmp"), picture));
    EXPECT_EQ(picture.width(), 40);
    EXPECT_EQ(picture.height(), 30);
    // The batch writes it by its name.
    const test::CliResult batch = test::runCliProgram(
        kFakeCli, "batch --type FAKE --prefix '' -o " + test::shellQuote(dir.file("made")) + " " +
                      test::shellQuote(dir.file("in.bmp")));
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(test::readFileBytes(dir.file("made/in.fake")),
              test::readFileBytes(dir.file("out.FAKE")));
    // The program itself does not write it.
    EXPECT_NE(test::runTaveluneCli("convert " + test::shellQuote(dir.file("in.bmp")) + " " +
                                   test::shellQuote(dir.file("plain.fake")))
                  .status,
              0);
}

}  // namespace
}  // namespace tavelune
