// The page options of convert, settings files, `tags` and `batch`, run as a program.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::contains;
using test::runTaveluneCli;
using test::shellQuote;

std::string sample(const char* name) { return shellQuote(test::samplePath(name)); }

TEST(PagesCommand, BorderPresetFramesThePicture)
{
    test::TempDir dir;
    auto run = runTaveluneCli("convert --no-film --border-preset white-black " +
                              sample("coffee.jpg") + " " + shellQuote(dir.file("f.bmp")));
    ASSERT_EQ(run.status, 0) << run.err;
    Image framed;
    ASSERT_TRUE(openImage(dir.file("f.bmp"), framed));
    EXPECT_EQ(framed.width(), 634);
    EXPECT_EQ(framed.height(), 449);
    EXPECT_EQ(framed.pixelAt(16, 100), 0xFF000000u);  // the black line around the photo
    EXPECT_EQ(framed.pixelAt(5, 5), 0xFFFFFFFFu);     // the white mat
}

TEST(PagesCommand, SignatureOptionsDrawTheExpandedText)
{
    test::TempDir dir;
    const std::string plain = dir.file("plain.bmp"), signed_ = dir.file("signed.bmp");
    ASSERT_EQ(runTaveluneCli("convert --no-film " + sample("coffee-exif.jpg") + " " + shellQuote(plain)).status, 0);
    auto run = runTaveluneCli("convert --no-film --signature-text '<Aperture/>' --signature-size 20 "
                              "--signature-colour FF0000 " +
                              sample("coffee-exif.jpg") + " " + shellQuote(signed_));
    ASSERT_EQ(run.status, 0) << run.err;
    Image a, b;
    ASSERT_TRUE(openImage(plain, a));
    ASSERT_TRUE(openImage(signed_, b));
    int changed = 0, reddish = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixelAt(x, y) != b.pixelAt(x, y)) {
                ++changed;
                EXPECT_GT(x, a.width() / 2);   // right,bottom corner
                EXPECT_GT(y, a.height() / 2);
                reddish += ((b.pixelAt(x, y) >> 16) & 0xFF) > 200;
            }
    EXPECT_GT(changed, 50);
    EXPECT_GT(reddish, 20);
}

TEST(PagesCommand, SettingsFilesSaveLoadAndReportBadLines)
{
    test::TempDir dir;
    const std::string saved = dir.file("saved.ini");
    auto save = runTaveluneCli("convert --film tmax --exposure -2 --mat 5 --save-settings " +
                               shellQuote(saved));
    ASSERT_EQ(save.status, 0) << save.err;
    auto text = test::readFileBytes(saved);
    std::string content(text.begin(), text.end());
    EXPECT_TRUE(contains(content, "type = tmax"));
    EXPECT_TRUE(contains(content, "exposure = -2"));
    EXPECT_TRUE(contains(content, "[border]\nenabled = true\nmat = 5,5,5,5"));

    // Loading it and saving again gives the same text; options given later still win.
    const std::string again = dir.file("again.ini");
    ASSERT_EQ(runTaveluneCli("convert --save-settings " + shellQuote(again) + " --settings " +
                             shellQuote(saved)).status, 0);
    EXPECT_EQ(test::readFileBytes(again), text);
    ASSERT_EQ(runTaveluneCli("convert --settings " + shellQuote(saved) + " --exposure 3 --save-settings " +
                             shellQuote(again)).status, 0);
    auto changed = test::readFileBytes(again);
    EXPECT_TRUE(contains(std::string(changed.begin(), changed.end()), "exposure = 3"));

    const std::string bad = dir.file("bad.ini");
    test::writeFileBytes(bad, {'[', 'f', 'i', 'l', 'm', ']', '\n', 'x', ' ', '=', ' ', '1', '\n'});
    auto run = runTaveluneCli("convert --settings " + shellQuote(bad) + " in.jpg out.jpg");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(contains(run.err, bad + ":2: x: unknown key 'x' in [film]")) << run.err;
}

TEST(PagesCommand, BadPageValuesNameTheOption)
{
    const std::string cases[] = {"--watermark-align left", "--signature-opacity 101",
                                 "--mat 1,2,3,4,5", "--border-colour blue",
                                 "--watermark-unit furlong", "--watermark-image /no/such.png",
                                 "--signature-wobble 3"};
    for (const std::string& options : cases) {
        auto run = runTaveluneCli("convert " + options + " in.jpg out.jpg");
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_TRUE(contains(run.err, options.substr(0, options.find(' ')))) << run.err;
    }
}

TEST(PagesCommand, TagsListsEveryTagWithItsValue)
{
    auto run = runTaveluneCli("tags --lang en_US --user-name Ada " + sample("coffee-exif.jpg"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "<Aperture/>"));
    EXPECT_TRUE(contains(run.out, "\tF5.6\n"));
    EXPECT_TRUE(contains(run.out, "\tAda\n"));
    EXPECT_TRUE(contains(run.out, "\t600 x 400\n"));
    EXPECT_EQ(runTaveluneCli("tags /no/such.jpg").status, 1);
}

TEST(PagesCommand, BatchSummarisesAndExitsWithOneOnFailure)
{
    test::TempDir dir;
    const std::string out = dir.file("out");
    auto run = runTaveluneCli("batch --no-film --type bmp --prefix P_ --fit 100 " +
                              sample("coffee.jpg") + " " + sample("README.md") + " -o " +
                              shellQuote(out));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.out, "1 converted, 0 skipped, 1 failed\n")) << run.out;
    Image small;
    ASSERT_TRUE(openImage(out + "/P_coffee.bmp", small));
    EXPECT_EQ(small.width(), 100);
    auto again = runTaveluneCli("batch " + sample("coffee.jpg") + " --type bmp --prefix P_ -o " +
                                shellQuote(out));
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(contains(again.out, "0 converted, 1 skipped, 0 failed\n")) << again.out;
    EXPECT_EQ(runTaveluneCli("batch " + sample("coffee.jpg")).status, 2);  // no -o
}

}  // namespace
}  // namespace tavelune
