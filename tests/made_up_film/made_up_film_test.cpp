// A made-up film row, built into this test program and a tavelune-cli of its own, reaches the
// command line's help and parsing, the settings file and the LUT export.
#include "made_up_film.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "film/film_step.h"
#include "job/lut_files.h"
#include "job/settings_file.h"
#include "pixel/pixel.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

test::CliResult runMadeUpCli(const std::string& arguments)
{
    test::TempDir capture;
    const std::string out = capture.file("out"), err = capture.file("err");
    const std::string command = std::string(TAVELUNE_MADE_UP_CLI_PATH) + " " + arguments + " >" +
                                test::shellQuote(out) + " 2>" + test::shellQuote(err) +
                                " </dev/null";
    test::CliResult result;
    const int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto text = [](const std::string& path) {
        auto bytes = test::readFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    result.out = text(out);
    result.err = text(err);
    return result;
}

TEST(MadeUpFilm, EveryHelpTextNamesItAfterTheRealFilms)
{
    for (const char* command : {"convert", "batch", "lut"}) {
        const test::CliResult help = runMadeUpCli(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(
                      "  --film NAME            velvia (default), tmax, e100vs, astia or madeup\n"),
                  std::string::npos)
            << command << ":\n"
            << help.out;
    }
}

TEST(MadeUpFilm, TheCommandLineConvertsWithItAndListsItWhenRefusingAName)
{
    test::TempDir dir;
    Image picture;
    ASSERT_TRUE(picture.create(24, 16, 72.0f));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) picture.rowFromTop(y)[x] = makePixel(255, x * 10, y * 15, 90);
    const std::string input = dir.file("in.bmp");
    ASSERT_TRUE(saveImage(input, picture));

    for (const char* film : {"madeup", "velvia"}) {
        const test::CliResult run =
            runMadeUpCli("convert --film " + std::string(film) + " " + input + " " +
                         dir.file(std::string(film) + ".bmp"));
        EXPECT_EQ(run.status, 0) << film << run.err;
    }
    EXPECT_NE(test::readFileBytes(dir.file("madeup.bmp")),
              test::readFileBytes(dir.file("velvia.bmp")))
        << "the made-up film must run its own recipe";

    const test::CliResult refused =
        runMadeUpCli("convert --film made-up " + input + " " + dir.file("x.bmp"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(
        refused.err.find("--film must be velvia, tmax, e100vs, astia or madeup, not 'made-up'"),
        std::string::npos)
        << refused.err;
}

TEST(MadeUpFilm, TheSettingsFileWritesItsOwnNameAndReadsItBack)
{
    ConversionSettings settings;
    settings.film.filmType = kMadeUpFilmRow.code;
    settings.film.saturation = 3;
    const std::string text = settingsText(settings);
    EXPECT_NE(text.find("type = made-up\n"), std::string::npos) << text;

    ConversionSettings read;
    std::vector<SettingsProblem> problems;
    EXPECT_TRUE(readSettingsText(text, read, problems));
    EXPECT_EQ(read.film.filmType, kMadeUpFilmRow.code);
    EXPECT_EQ(read.film.saturation, 3);

    // The file takes the settings name, not the command line's.
    EXPECT_FALSE(readSettingsText("[film]\ntype = madeup\n", read, problems));
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.back().message.find("velvia, tmax, e100vs, astia or made-up"),
              std::string::npos)
        << problems.back().message;
}

TEST(MadeUpFilm, TheFilmStepAndTheLutTitleTakeItFromTheRow)
{
    FilmSettings film;
    film.filmType = kMadeUpFilmRow.code;
    film.portrait = true;  // the row offers no options, so none is part of the look
    EXPECT_TRUE(hasFilmRecipe(film.filmType));
    EXPECT_EQ(lutTitle(film), "Tavelune Made-Up 64, exposure +0, saturation +0");

    Image source;
    ASSERT_TRUE(source.create(8, 8, 72.0f));
    source.fill(0xFF4080C0u);
    Image fast, reference;
    ASSERT_TRUE(runFilmStep(source, fast, film, nullptr, 100, FilmEngine::Fast));
    ASSERT_TRUE(runFilmStep(source, reference, film, nullptr, 100, FilmEngine::Reference));
    EXPECT_EQ(fast.pixels()[0], reference.pixels()[0]);
    EXPECT_NE(fast.pixels()[0], source.pixels()[0]);
}

}  // namespace
}  // namespace tavelune
