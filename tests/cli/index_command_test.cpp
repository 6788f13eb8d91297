// tavelune-cli index: options, usage errors, written sheets and missing pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

class IndexCommand : public testing::Test {
protected:
    static test::CliResult run(const std::vector<std::string>& args)
    {
        std::string command = "index";
        for (const std::string& arg : args)
            command += " " + test::shellQuote(arg);
        return test::runTaveluneCli(command);
    }

    std::string picture(const std::string& name, int w, int h, uint32_t colour)
    {
        Image image;
        image.setFillColour(colour);
        image.create(w, h, 72.0f);
        std::string path = m_dir.file(name);
        EXPECT_TRUE(saveImage(path, image, {}, 0));
        return path;
    }

    test::TempDir m_dir;
};

TEST_F(IndexCommand, HelpDescribesEveryOptionAndLayout)
{
    test::CliResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* text : {"--style", "--dpi", "--title", "--signature", "--content",
                             "--number-from", "--no-fit", "--logo", "--logo-key", "--quality",
                             "--compression", "-o", "8 x 5 - 4R 相片", "6 x 10 - A4", "Exit status"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

TEST_F(IndexCommand, UsageErrorsExitWithTwoAndWriteNothing)
{
    const std::string a = picture("a.bmp", 30, 20, 0xFFFF0000);
    const std::string sheet = m_dir.file("sheet.jpg");
    const std::vector<std::vector<std::string>> cases = {
        {a},
        {"-o", sheet},
        {a, "-o", sheet, "--style", "10"},
        {a, "-o", sheet, "--style", "x"},
        {a, "-o", sheet, "--dpi", "200"},
        {a, "-o", sheet, "--quality", "0"},
        {a, "-o", sheet, "--quality", "101"},
        {a, "-o", m_dir.file("sheet.gif")},
        {a, "-o", m_dir.file("sheet.bmp"), "--quality", "80"},
        {a, "-o", sheet, "--compression", "lzw"},
        {a, "-o", sheet, "--lossless"},
        {a, "-o", m_dir.file("sheet.webp"), "--lossless", "--quality", "80"},
        {a, "-o", m_dir.file("sheet.png"), "--quality", "80"},
        {a, "-o", sheet, "--logo-key", "FFFFFF"},
        {a, "-o", sheet, "--logo", a, "--logo-key", "FFFFF"},
        {a, "-o", sheet, "--number-from", "-3"},
        {a, "-o", sheet, "--number-from", "99999999999"},
        {a, "-o", sheet, "--bogus"},
        {a, "-o"},
    };
    for (const auto& args : cases) {
        test::CliResult r = run(args);
        std::string joined;
        for (const auto& arg : args)
            joined += arg + " ";
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_FALSE(r.err.empty()) << joined;
    }
    EXPECT_FALSE(std::filesystem::exists(sheet));
}

TEST_F(IndexCommand, WritesTheSheetAtTheChosenLayoutAndResolution)
{
    const std::string a = picture("a.bmp", 30, 20, 0xFFFF0000);
    const std::string b = picture("b.bmp", 20, 30, 0xFF0000FF);
    struct Case {
        std::vector<std::string> extra;
        const char* name;
        int width, height;
    };
    const Case cases[] = {
        {{}, "default.bmp", 576, 384},
        {{"--style", "6", "--dpi", "120", "--no-fit", "--number-from", "3"}, "a6.tif", 496, 699},
        {{"--style", "3", "--compression", "none", "--title", ""}, "plain.TIFF", 480, 336},
        {{"--dpi", "300", "--quality", "90", "--logo", a, "--logo-key", "#ff0000", "--content",
          "line one\nline two", "--signature", "Me"},
         "logo.jpg",
         1800,
         1200},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {a, b, "-o", m_dir.file(c.name)};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        test::CliResult r = run(args);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        Image sheet;
        ASSERT_TRUE(openImage(m_dir.file(c.name), sheet, {})) << c.name;
        EXPECT_EQ(sheet.width(), c.width) << c.name;
        EXPECT_EQ(sheet.height(), c.height) << c.name;
    }
}

TEST_F(IndexCommand, MissingAndSkippedPicturesAreNamedAndTheSheetStillWritten)
{
    const std::string a = picture("a.bmp", 30, 20, 0xFFFF0000);
    const std::string notes = m_dir.file("notes.txt");
    std::ofstream(notes) << "not a picture";
    const std::string gone = m_dir.file("gone.jpg");
    const std::string sheet = m_dir.file("sheet.bmp");
    test::CliResult r = run({a, gone, notes, "-o", sheet});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(gone), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(notes), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(sheet));
}

TEST_F(IndexCommand, PicturesBeyondTheGridAreReported)
{
    const std::string a = picture("a.bmp", 30, 20, 0xFFFF0000);
    std::vector<std::string> args(13, a);  // 4 x 3 holds twelve
    args.insert(args.end(), {"--style", "2", "-o", m_dir.file("sheet.bmp")});
    test::CliResult r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("beyond"), std::string::npos) << r.err;
}

TEST_F(IndexCommand, UnwritableSheetFailsAndUnreadableLogoStops)
{
    const std::string a = picture("a.bmp", 30, 20, 0xFFFF0000);
    test::CliResult r = run({a, "-o", m_dir.file("no/such/folder/sheet.jpg")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    const std::string sheet = m_dir.file("sheet.jpg");
    r = run({a, "-o", sheet, "--logo", m_dir.file("missing.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("logo"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(sheet));
}

}  // namespace
}  // namespace tavelune
