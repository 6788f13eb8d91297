// tavelune-cli convert, run as a program: success, bad options and bad files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "support/cli_runner.h"
#include "support/test_dng.h"
#include "support/test_heif.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::contains;
using test::runTaveluneCli;
using test::childPeakKilobytes;
using test::shellQuote;

size_t entries(const std::filesystem::path& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()));
}

TEST(ConvertCommand, ConvertsTheSampleAndPrintsTheOutputPath)
{
    test::TempDir dir;
    const std::string output = dir.file("coffee.jpg");
    auto run = runTaveluneCli("convert " + shellQuote(test::samplePath("coffee.jpg")) + " " +
                              shellQuote(output));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, output + "\n");
    Image result;
    ASSERT_TRUE(openImage(output, result));
    EXPECT_EQ(result.width(), 600);
    EXPECT_EQ(result.height(), 400);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ConvertCommand, TagsRepeatedInsideValuesExpandOnceInTimeAndMemory)
{
    test::TempDir dir;
    const std::string photo = dir.file("photo.jpg");
    test::writeFileBytes(photo, test::readFileBytes(test::samplePath("coffee-exif.jpg")));
    std::string artist;
    for (int i = 0; i < 1000; ++i) artist += "<Artist/>";
    {
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(photo));
        ExifEntry* entry = exif.FindEntry(kIfd0, 315, EntryLookup::Create);
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->SetValueBytes(reinterpret_cast<const uint8_t*>(artist.c_str()),
                                         uint32_t(artist.size() + 1)));
        ASSERT_TRUE(exif.SaveExif(photo));
    }

    const std::string runs[] = {
        "--watermark-text " + shellQuote("by <Artist/> (<Artist/>, <Artist/>)"),
        "--user-name '<UserName/>' --signature-text '<UserName/> <UserName/> <UserName/>'",
    };
    for (const std::string& options : runs) {
        const auto start = std::chrono::steady_clock::now();
        auto run = runTaveluneCli("convert " + options + " " + shellQuote(photo) + " " +
                                  shellQuote(dir.file("out.jpg")));
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "") << options;
        EXPECT_LT(seconds.count(), 10.0) << options;
        EXPECT_LT(childPeakKilobytes(), 512L * 1024) << options;
    }
}

TEST(ConvertCommand, GeometryOptionsShapeTheResult)
{
    test::TempDir dir;
    const std::string output = dir.file("small.bmp");
    auto run = runTaveluneCli("convert --no-film --fit 300 --rotate 90 --dpi 150 " +
                              shellQuote(test::samplePath("coffee.jpg")) + " " + shellQuote(output));
    ASSERT_EQ(run.status, 0) << run.err;
    Image result;
    ASSERT_TRUE(openImage(output, result));
    EXPECT_EQ(result.width(), 200);
    EXPECT_EQ(result.height(), 300);
    EXPECT_EQ(result.dpi(), 150.0f);
}

TEST(ConvertCommand, ExifOrientationTurnsJpegUprightUnlessAskedNot)
{
    test::TempDir dir;
    const std::string rotated = shellQuote(test::samplePath("chelsea-rotated.jpg"));
    ASSERT_EQ(runTaveluneCli("convert --no-film " + rotated + " " + dir.file("a.bmp")).status, 0);
    ASSERT_EQ(runTaveluneCli("convert --no-film --no-orient " + rotated + " " + dir.file("b.bmp")).status, 0);
    Image upright, stored;
    ASSERT_TRUE(openImage(dir.file("a.bmp"), upright));
    ASSERT_TRUE(openImage(dir.file("b.bmp"), stored));
    EXPECT_EQ(upright.width(), stored.height());
    EXPECT_EQ(upright.height(), stored.width());
}

TEST(ConvertCommand, WebpAndPngOutputsTakeTheirOptionsOnEveryRoad)
{
    test::TempDir dir;
    const std::string sample = shellQuote(test::samplePath("coffee.jpg"));
    const auto out = [&](const std::string& name) { return dir.file(name); };
    const struct {
        std::string command;
        std::string output;
    } runs[] = {
        {"convert --no-film " + sample + " " + shellQuote(out("a.png")), out("a.png")},
        {"convert --no-film --lossless " + sample + " " + shellQuote(out("a.webp")), out("a.webp")},
        {"convert --no-film --quality 20 " + sample + " " + shellQuote(out("low.webp")),
         out("low.webp")},
        {"convert --no-film --quality 95 " + sample + " " + shellQuote(out("high.webp")),
         out("high.webp")},
        {"batch --no-film --lossless --type webp -o " + shellQuote(out("b")) + " " + sample,
         out("b/QX_coffee.webp")},
        {"batch --no-film --type PNG -o " + shellQuote(out("b")) + " " + sample,
         out("b/QX_coffee.png")},
        {"index --lossless -o " + shellQuote(out("sheet.webp")) + " " + sample, out("sheet.webp")},
    };
    for (const auto& run : runs) {
        const test::CliResult r = runTaveluneCli(run.command);
        ASSERT_EQ(r.status, 0) << run.command << "\n" << r.err;
        ASSERT_TRUE(std::filesystem::exists(run.output)) << run.command;
    }
    // Lossless WebP and PNG hold the same pixels, on the convert and the batch road alike.
    Image png, webp, batchPng, batchWebp;
    ASSERT_TRUE(openImage(out("a.png"), png));
    ASSERT_TRUE(openImage(out("a.webp"), webp));
    ASSERT_TRUE(openImage(out("b/QX_coffee.png"), batchPng));
    ASSERT_TRUE(openImage(out("b/QX_coffee.webp"), batchWebp));
    for (const Image* other : {&webp, &batchPng, &batchWebp}) {
        ASSERT_EQ(other->pixelCount(), png.pixelCount());
        EXPECT_TRUE(std::equal(png.pixels(), png.pixels() + png.pixelCount(), other->pixels()));
    }
    EXPECT_LT(std::filesystem::file_size(out("low.webp")),
              std::filesystem::file_size(out("high.webp")) / 2);
    EXPECT_EQ(runTaveluneCli("batch --type gif -o " + shellQuote(out("c")) + " " + sample).err,
              "tavelune-cli batch: --type must be jpeg, tiff, bmp, png or webp, not 'gif'\n");
}

TEST(ConvertCommand, BatchAndIndexOverEveryNewKindNameOnlyTheBrokenRaw)
{
    test::TempDir dir;
    const Image photo = test::samplePhoto(120, 80);
    ASSERT_FALSE(photo.isEmpty());
    const std::string broken = dir.file("broken.dng");
    std::vector<std::string> files = {dir.file("a.jpg"), dir.file("b.dng"), dir.file("c.heic"),
                                      dir.file("d.avif"), dir.file("e.webp"), dir.file("f.png")};
    ASSERT_TRUE(saveImage(files[0], photo, ImageFormat::Jpeg, 90));
    ASSERT_TRUE(test::writeTestDng(files[1], photo));
    ASSERT_TRUE(test::writeTestHeif(files[2], photo, {}));
    test::TestHeifOptions av1;
    av1.avif = true;
    ASSERT_TRUE(test::writeTestHeif(files[3], photo, av1));
    ASSERT_TRUE(saveImage(files[4], photo, ImageFormat::Webp, 90));
    ASSERT_TRUE(saveImage(files[5], photo, ImageFormat::Png));
    std::vector<unsigned char> cut = test::readFileBytes(files[1]);
    cut.resize(cut.size() / 3);
    test::writeFileBytes(broken, cut);
    std::string listed;
    for (const std::string& file : files) listed += " " + shellQuote(file);
    listed += " " + shellQuote(broken);

    const test::CliResult batch =
        runTaveluneCli("batch --no-film -o " + shellQuote(dir.file("out")) + listed);
    EXPECT_EQ(batch.status, 1) << batch.err;
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
        Image converted;
        EXPECT_TRUE(openImage(dir.file("out/QX_") + name + ".jpg", converted)) << name;
        EXPECT_EQ(converted.width(), 120) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/QX_broken.jpg")));
    EXPECT_EQ(entries(dir.file("out")), 6u);  // no temporary left

    const test::CliResult index =
        runTaveluneCli("index -o " + shellQuote(dir.file("sheet.jpg")) + listed);
    EXPECT_EQ(index.status, 1);
    EXPECT_TRUE(std::filesystem::exists(dir.file("sheet.jpg")));
    // The broken raw is named; the files that read well are not.
    for (const test::CliResult* run : {&batch, &index}) {
        EXPECT_TRUE(contains(run->err, "broken.dng")) << run->err;
        std::istringstream lines(run->err);
        for (std::string line; std::getline(lines, line);)
            for (const std::string& file : files)
                EXPECT_FALSE(contains(line, file)) << line;
    }
}

TEST(ConvertCommand, BadOptionsNameTheOptionAndExitWithTwo)
{
    const std::string cases[] = {"--exposure 9", "--saturation -11", "--sharpness x",
                                 "--film kodachrome", "--quality 0", "--bogus", "--rotate 45",
                                 "--scale-from 0"};
    for (const std::string& options : cases) {
        auto run = runTaveluneCli("convert " + options + " in.jpg out.jpg");
        EXPECT_EQ(run.status, 2) << options;
        std::string name = options.substr(0, options.find(' '));
        EXPECT_TRUE(contains(run.err, name)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(runTaveluneCli("convert only-one.jpg").status, 2);
}

TEST(ConvertCommand, BadFilesGiveTheMessageAndNoOutput)
{
    test::TempDir dir;
    test::writeFileBytes(dir.file("empty.jpg"), {});
    auto sample = test::readFileBytes(test::samplePath("coffee.jpg"));
    test::writeFileBytes(dir.file("truncated.jpg"),
                         std::vector<unsigned char>(sample.begin(), sample.begin() + 2000));
    auto png = test::readFileBytes(test::samplePath("coffee.png"));
    test::writeFileBytes(dir.file("png.jpg"), png);
    std::filesystem::create_directory(dir.file("folder.jpg"));
    test::TempDir outputs;
    struct Case {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("empty.jpg"), "Open image file error !"},
        {dir.file("truncated.jpg"), "Open image file error !"},
        {dir.file("png.jpg"), "Open image file error !"},
        {dir.file("folder.jpg"), "Open image file error !"},
        {dir.file("missing.jpg"), "Open image file error !"},
        {dir.file("notes.txt"), "Don't support image format !"},
    };
    for (const Case& c : cases) {
        auto run = runTaveluneCli("convert " + shellQuote(c.input) + " " +
                                  shellQuote(outputs.file("out.jpg")));
        EXPECT_EQ(run.status, 1) << c.input;
        EXPECT_TRUE(contains(run.err, c.message)) << c.input << ": " << run.err;
        EXPECT_TRUE(contains(run.err, c.input)) << run.err;
        EXPECT_EQ(entries(outputs.path()), 0u) << c.input;
    }
}

TEST(ConvertCommand, UnwritableOutputLeavesNothingAndKeepsTheOldFile)
{
    test::TempDir dir;
    const std::string input = shellQuote(test::samplePath("coffee.jpg"));
    auto run = runTaveluneCli("convert " + input + " " + shellQuote(dir.file("no/such/out.jpg")));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "Open image file error !")) << run.err;
    EXPECT_TRUE(contains(run.err, "no such folder")) << run.err;

    auto unsupported = runTaveluneCli("convert " + input + " " + shellQuote(dir.file("out.gif")));
    EXPECT_EQ(unsupported.status, 1);
    EXPECT_TRUE(contains(unsupported.err, "Don't support image format !"));
    EXPECT_EQ(entries(dir.path()), 0u);

    if (::geteuid() != 0) {  // root writes into read-only folders anyway
        std::filesystem::create_directory(dir.file("locked"));
        test::writeFileBytes(dir.file("locked/out.jpg"), {'o', 'l', 'd'});
        ::chmod(dir.file("locked").c_str(), 0555);
        auto locked = runTaveluneCli("convert " + input + " " + shellQuote(dir.file("locked/out.jpg")));
        ::chmod(dir.file("locked").c_str(), 0755);
        EXPECT_EQ(locked.status, 1);
        EXPECT_TRUE(contains(locked.err, "permission denied")) << locked.err;
        EXPECT_EQ(test::readFileBytes(dir.file("locked/out.jpg")).size(), 3u);
    }
}

TEST(ConvertCommand, WriteProtectedOutputIsRefusedAndNamed)
{
    test::TempDir dir;
    const std::string output = dir.file("out.jpg");
    test::writeFileBytes(output, {'o', 'l', 'd'});
    ::chmod(output.c_str(), 0444);
    auto run = runTaveluneCli("convert " + shellQuote(test::samplePath("coffee.jpg")) + " " +
                              shellQuote(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "write-protected")) << run.err;
    EXPECT_TRUE(contains(run.err, output)) << run.err;
    EXPECT_EQ(test::readFileBytes(output).size(), 3u);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ConvertCommand, AFileSizeLimitIsAReportedErrorThatKeepsTheOldOutput)
{
    test::TempDir dir;
    const std::string output = dir.file("out.jpg");
    test::writeFileBytes(output, {'o', 'l', 'd'});
    // ulimit -f counts blocks of 512 or 1024 bytes: either way far below the picture.
    const std::string command = "ulimit -f 16; exec " + std::string(TAVELUNE_CLI_PATH) +
                                " convert --resize 1200x800 " +
                                shellQuote(test::samplePath("coffee.jpg")) + " " +
                                shellQuote(output) + " 2>" + shellQuote(dir.file("err"));
    const int status = std::system(("sh -c " + shellQuote(command)).c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "killed by a signal (SIGXFSZ?)";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const auto err = test::readFileBytes(dir.file("err"));
    EXPECT_TRUE(contains(std::string(err.begin(), err.end()), "File too large"));
    EXPECT_EQ(test::readFileBytes(output).size(), 3u);
    EXPECT_EQ(entries(dir.path()), 2u) << "the output and the captured errors, no temporary";
}

TEST(ConvertCommand, AKilledWriterLeavesNoTemporaryAndNoPartialOutput)
{
    test::TempDir dir;
    const std::string output = dir.file("out.jpg");
    const std::string convert = std::string(TAVELUNE_CLI_PATH) + " convert --resize 3000x2000 " +
                                shellQuote(test::samplePath("coffee.jpg")) + " " +
                                shellQuote(output) + " >/dev/null 2>&1";
    for (int round = 0; round < 8; ++round) {
        std::filesystem::remove(output);
        const std::string delay = "0." + std::to_string(round * 12);
        const std::string script = convert + " & pid=$!; sleep " + delay +
                                   "; kill -9 $pid 2>/dev/null; wait $pid";
        std::system(("sh -c " + shellQuote(script)).c_str());
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename(), "out.jpg") << "round " << round;
        if (std::filesystem::exists(output)) {
            Image written;
            EXPECT_TRUE(openImage(output, written)) << "round " << round;
            EXPECT_EQ(written.width(), 3000);
        }
    }
}

TEST(ConvertCommand, BatchRemovesAKilledRunsTemporaryAndReplacesProtectedOutputsOnlyWhenAsked)
{
    test::TempDir dir;
    const std::string folder = dir.file("out");
    std::filesystem::create_directory(folder);
    const std::string stale = folder + "/.QX_coffee.jpg.tmp-Ab12Cd";
    test::writeFileBytes(stale, {'h', 'a', 'l', 'f'});
    const std::string batch =
        "batch --jobs 1 " + shellQuote(test::samplePath("coffee.jpg")) + " -o " + shellQuote(folder);
    auto run = runTaveluneCli(batch);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(entries(folder), 1u);

    const std::string output = folder + "/QX_coffee.jpg";
    test::writeFileBytes(output, {'o', 'l', 'd'});
    ::chmod(output.c_str(), 0444);
    EXPECT_EQ(runTaveluneCli(batch).status, 0) << "skipped";
    EXPECT_EQ(test::readFileBytes(output).size(), 3u);
    auto overwrite = runTaveluneCli(batch + " --overwrite");
    EXPECT_EQ(overwrite.status, 0) << overwrite.out;
    EXPECT_GT(test::readFileBytes(output).size(), 3u);
}

TEST(ConvertCommand, ALeakCheckerFindsNothingLeftOfTheFonts)
{
    if (std::system("command -v valgrind >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "valgrind is not installed";
    test::TempDir dir;
    Image small;
    ASSERT_TRUE(small.create(16, 16, 72.0f));
    ASSERT_TRUE(saveImage(dir.file("small.bmp"), small));
    const std::string log = dir.file("valgrind.log");
    const std::string command = "valgrind --leak-check=full --show-leak-kinds=all --log-file=" +
                                shellQuote(log) + " " + std::string(TAVELUNE_CLI_PATH) +
                                " convert --no-film --watermark-text Hi " +
                                shellQuote(dir.file("small.bmp")) + " " +
                                shellQuote(dir.file("out.bmp")) + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto bytes = test::readFileBytes(log);
    const std::string report(bytes.begin(), bytes.end());
    // The raw and HEIF decoders' own libraries keep a few static blocks to the end; only
    // fontconfig's must be gone.
    EXPECT_TRUE(contains(report, "in use at exit: 0 bytes") || !contains(report, "libfontconfig"))
        << report;
    EXPECT_TRUE(contains(report, "definitely lost: 0 bytes") ||
                !contains(report, "definitely lost"))
        << report;
}

TEST(ConvertCommand, EveryListedFilmHasItsOwnLook)
{
    // E100 VS and Astia once failed here for want of a recipe.
    test::TempDir dir;
    std::vector<std::vector<uint32_t>> looks;
    for (const char* film : {"velvia", "tmax", "e100vs", "astia"}) {
        const std::string output = dir.file(std::string(film) + ".bmp");
        auto run = runTaveluneCli(std::string("convert --film ") + film + " " +
                                  shellQuote(test::samplePath("coffee.jpg")) + " " +
                                  shellQuote(output));
        ASSERT_EQ(run.status, 0) << film << ": " << run.err;
        Image result;
        ASSERT_TRUE(openImage(output, result));
        looks.emplace_back(result.pixels(), result.pixels() + result.pixelCount());
    }
    for (size_t i = 0; i < looks.size(); ++i)
        for (size_t j = i + 1; j < looks.size(); ++j) EXPECT_NE(looks[i], looks[j]) << i << j;
}

}  // namespace
}  // namespace tavelune
