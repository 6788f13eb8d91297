// The strip-by-strip road against the whole-picture one: the same file, byte for byte.
#include "job/streamed_conversion.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/jpeg_codec.h"
#include "engine/jpeg_strips.h"
#include "exif/exif_data.h"
#include "exif/keep_exif.h"
#include "film/convolution_filter.h"
#include "film/film_step.h"
#include "film/pointwise_film.h"
#include "film/sharpen.h"
#include "job/scale_settings.h"
#include "support/test_dng.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

namespace fs = std::filesystem;

// Neighbouring pixels far apart, so that sharpening and the film's bands all see work.
Image scatteredColours(int width, int height, uint32_t seed = 7)
{
    Image picture;
    picture.create(width, height, 72.0f);
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < picture.pixelCount(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        picture.pixels()[i] = 0xFF000000u | state;
    }
    return picture;
}

// Every 24-bit colour once, in a 4096 x 4096 picture.
Image everyColour()
{
    Image picture;
    picture.create(4096, 4096, 300.0f);
    for (uint32_t i = 0; i < (1u << 24); ++i) picture.pixels()[i] = 0xFF000000u | i;
    return picture;
}

std::string jpegOf(const test::TempDir& dir, const std::string& name, const Image& picture)
{
    const std::string path = dir.file(name);
    EXPECT_TRUE(JpegCodec().write(path, picture, 97));
    return path;
}

FilmSettings film(int type, int exposure = 0, int saturation = 0, int sharpness = 5)
{
    FilmSettings settings;
    settings.filmType = type;
    settings.exposure = exposure;
    settings.saturation = saturation;
    settings.sharpnessPosition = sharpness;
    return settings;
}

FileConversionSettings conversion(const FilmSettings& settings, int quality = 90)
{
    FileConversionSettings conversion;
    conversion.job.film = settings;
    conversion.quality = quality;
    return conversion;
}

// Today's whole-picture road, step by step.
void convertWhole(const std::string& input, const std::string& output,
                  const FileConversionSettings& settings)
{
    Image source;
    ExifData exif;
    ASSERT_TRUE(openWorkingPicture(input, source, exif, settings.fit, settings.orient));
    if (settings.dpi > 0)
        source.setDpi(float(settings.dpi));
    const ConversionSettings job =
        settings.scaleFrom > 0
            ? scaleConversionSettings(settings.job, double(source.width()) / settings.scaleFrom,
                                      source.dpi())
            : settings.job;
    Image result;
    Rect margins;
    ASSERT_TRUE(runConversionJob(source, &exif, job, nullptr, result, margins));
    const bool jpeg = isJpegFileName(output);
    ASSERT_TRUE(saveImage(output, result, {}, jpeg ? settings.quality : settings.compression));
    if (keepsExif(formatOfPath(output).value()) && settings.keepExif && !exif.IsEmpty())
        writeKeptExif(exif, output, result, settings.orient || decodedUpright(input));
}

// Converts both ways and says where the files differ, if they do.
void expectSameFile(const std::string& input, const FileConversionSettings& settings,
                    const std::string& label, const std::string& extension = "jpg")
{
    const std::string whole = input + ".whole." + extension;
    const std::string streamed = input + ".streamed." + extension;
    convertWhole(input, whole, settings);
    Progress progress;
    NoticeLog log;
    const std::optional<FileConversionResult> outcome =
        convertStreamed(input, streamed, settings, progress, log);
    ASSERT_TRUE(outcome.has_value()) << label << ": took the whole-picture road";
    ASSERT_EQ(outcome->outcome, FileConversionOutcome::Converted) << label;
    EXPECT_TRUE(test::readFileBytes(streamed) == test::readFileBytes(whole)) << label;
}

TEST(StreamedConversion, SameFileForEveryFilmSettingAndSharpness)
{
    FilmSettings portrait = film(kFilmVelvia, 3, -4);
    portrait.portrait = true;
    FilmSettings lowKey = film(kFilmTmax, -8, 10);
    lowKey.highKey = false;
    FilmSettings blackCorrected = film(kFilmTmax, 8, -10);
    blackCorrected.blackCorrection = true;
    FilmSettings slidePortrait = film(kFilmE100Vs, -8, 10);
    slidePortrait.portrait = true;
    FilmSettings off = film(kFilmVelvia, 0, 0, 0);
    off.enabled = false;
    const std::pair<const char*, FilmSettings> films[] = {
        {"velvia", film(kFilmVelvia)},
        {"velvia -8 -10", film(kFilmVelvia, -8, -10)},
        {"velvia 8 10", film(kFilmVelvia, 8, 10)},
        {"velvia portrait", portrait},
        {"t-max high key", film(kFilmTmax)},
        {"t-max low key", lowKey},
        {"t-max black correction", blackCorrected},
        {"astia", film(kFilmAstia, 0, 10)},
        {"astia -8", film(kFilmAstia, -8, -10)},
        {"e100vs", film(kFilmE100Vs, 8, 0)},
        {"e100vs portrait", slidePortrait},
        {"film off (copy, never sharpened)", off},
    };
    test::TempDir dir;
    const std::string input = jpegOf(dir, "input.jpg", scatteredColours(61, 35));
    for (const auto& [name, settings] : films) {
        for (int sharpness : {5, 0}) {
            FilmSettings sharpened = settings;
            sharpened.sharpnessPosition = sharpness;
            expectSameFile(input, conversion(sharpened),
                           std::string(name) + " sharpness " + std::to_string(sharpness));
        }
    }
    for (int sharpness = 1; sharpness < 5; ++sharpness)
        expectSameFile(input, conversion(film(kFilmVelvia, 0, 0, sharpness)),
                       "sharpness " + std::to_string(sharpness));
}

TEST(StreamedConversion, SameFileAtStripBoundariesAndOddSizes)
{
    struct Size {
        int width, height;
    };
    const Size sizes[] = {{1, 1},   {1, 40}, {40, 1}, {17, 15},  {17, 16},
                          {17, 17}, {9, 32}, {9, 33}, {300, 47}, {5, 200}};
    test::TempDir dir;
    for (const Size& size : sizes) {
        const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
        const std::string input =
            jpegOf(dir, label + ".jpg", scatteredColours(size.width, size.height));
        expectSameFile(input, conversion(film(kFilmVelvia)), label);
        expectSameFile(input, conversion(film(kFilmVelvia, 2, 4, 0), 75), label + " sharpened");
        expectSameFile(input, conversion(film(kFilmTmax, 0, 0, 3), 100), label + " t-max");
    }
}

TEST(StreamedConversion, SameFileForEveryColour)
{
    test::TempDir dir;
    const std::string input = jpegOf(dir, "every-colour.jpg", everyColour());
    expectSameFile(input, conversion(film(kFilmVelvia, 8, 10, 0)), "velvia sharpened");
}

TEST(StreamedConversion, SameFileForCmykGreyProgressiveAndCameraFiles)
{
    struct Case {
        const char* fixture;
        double dpi;
        bool keepExif;
        bool orient;
    };
    const Case cases[] = {
        {"codecs/cmyk.jpg", 0, true, true},
        {"codecs/grey.jpg", 0, true, true},
        {"codecs/progressive.jpg", 0, true, true},
        {"codecs/rgb-444.jpg", 150, true, true},
        {"camera-exif/canon-eos-20d.jpg", 0, true, true},    // EXIF kept, new thumbnail
        {"camera-exif/nikon-e950.jpg", 0, false, true},      // EXIF dropped
        {"camera-exif/sigma-d10.jpg", 600, true, true},      // resolution asked over EXIF's
        {"camera-exif/canon-eos-300d.jpg", 0, true, false},  // turn kept in the tag, not done
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string input = dir.file(fs::path(c.fixture).filename().string());
        fs::copy_file(test::fixturePath(c.fixture), input);
        FileConversionSettings settings = conversion(film(kFilmVelvia, 0, 0, 2));
        settings.dpi = c.dpi;
        settings.keepExif = c.keepExif;
        settings.orient = c.orient;
        expectSameFile(input, settings, c.fixture);
    }
}

// A raw's rows come from the developer's reply, upright; the whole road copies them first.
TEST(StreamedConversion, CameraRawGivesTheWholePictureRoadsFile)
{
    test::TempDir dir;
    const std::string input = dir.file("shot.dng");
    test::TestDngOptions turned;
    turned.orientation = 6;
    ASSERT_TRUE(test::writeTestDng(input, scatteredColours(90, 52), turned));
    auto settingsWith = [](auto change) {
        FileConversionSettings settings = conversion(film(kFilmVelvia, 1, 2, 3));
        change(settings);
        return settings;
    };
    using S = FileConversionSettings;
    const std::tuple<const char*, std::string, S> cases[] = {
        {"EXIF kept, marked upright", "jpg", settingsWith([](S&) {})},
        {"EXIF kept, turn not applied", "jpg", settingsWith([](S& s) { s.orient = false; })},
        {"resolution asked", "jpg", settingsWith([](S& s) { s.dpi = 300; })},
        {"EXIF dropped", "jpg", settingsWith([](S& s) { s.keepExif = false; })},
        {"framed", "jpg", settingsWith([](S& s) { s.job.border.enabled = true; })},
        {"TIFF", "tif", settingsWith([](S& s) { s.compression = 1; })},
    };
    for (const auto& [name, extension, settings] : cases)
        expectSameFile(input, settings, name, extension);

    // Reduced (a half-size development) or resized: the whole road, nothing developed here.
    for (const S& settings : {settingsWith([](S& s) { s.fit = 40; }),
                              settingsWith([](S& s) { s.resizeWidth = s.resizeHeight = 20; })}) {
        Progress progress;
        NoticeLog log;
        EXPECT_FALSE(convertStreamed(input, dir.file("out.jpg"), settings, progress, log));
        EXPECT_FALSE(fs::exists(dir.file("out.jpg")));
    }
}

TEST(StreamedConversion, WholePictureNeedsTakeTheOtherRoad)
{
    test::TempDir dir;
    const std::string input = jpegOf(dir, "input.jpg", scatteredColours(40, 30));
    fs::copy_file(test::fixturePath("camera-exif/nikon-d70.jpg"), dir.file("turned.jpg"));
    auto settingsWith = [](auto change) {
        FileConversionSettings settings = conversion(film(kFilmVelvia));
        change(settings);
        return settings;
    };
    using S = FileConversionSettings;
    const std::tuple<const char*, std::string, std::string, S> cases[] = {
        {"rotate", input, "out.jpg", settingsWith([](S& s) { s.rotate = 90; })},
        {"mirror", input, "out.jpg", settingsWith([](S& s) { s.mirror = true; })},
        {"flip", input, "out.jpg", settingsWith([](S& s) { s.flip = true; })},
        {"fit", input, "out.jpg", settingsWith([](S& s) { s.fit = 39; })},
        {"resize", input, "out.jpg",
         settingsWith([](S& s) { s.resizeWidth = s.resizeHeight = 20; })},
        {"no recipe", input, "out.jpg", settingsWith([](S& s) { s.job.film.filmType = 3; })},
        {"EXIF turn", dir.file("turned.jpg"), "out.jpg", settingsWith([](S&) {})},
        {"TIFF in", dir.file("input.tif"), "out.jpg", settingsWith([](S&) {})},
    };
    ASSERT_TRUE(saveImage(dir.file("input.tif"), scatteredColours(40, 30), {}, 5));
    for (const auto& [name, from, to, settings] : cases) {
        Progress progress;
        NoticeLog log;
        EXPECT_FALSE(convertStreamed(from, dir.file(to), settings, progress, log).has_value())
            << name;
        EXPECT_FALSE(fs::exists(dir.file(to))) << name;
    }
    // A fit or size the picture already has changes nothing, so it streams.
    expectSameFile(input, settingsWith([](S& s) { s.fit = 40; }), "fit as large");
    expectSameFile(input, settingsWith([](S& s) {
                       s.resizeWidth = 40;
                       s.resizeHeight = 30;
                   }),
                   "same size");
}

// A frame or an overlay, or another output format: the film output is assembled from the
// strips, then framed and saved as before.
TEST(StreamedConversion, FramedOverlaidOrOtherFormatsAssembleTheSameFile)
{
    test::TempDir dir;
    std::filesystem::copy_file(test::fixturePath("camera-exif/canon-eos-20d.jpg"),
                               dir.file("camera.jpg"));
    const std::string input = jpegOf(dir, "input.jpg", scatteredColours(90, 37));
    auto settingsWith = [](auto change) {
        FileConversionSettings settings = conversion(film(kFilmVelvia, 2, 3, 1));
        change(settings);
        return settings;
    };
    using S = FileConversionSettings;
    const std::tuple<const char*, std::string, std::string, S> cases[] = {
        {"frame", input, "jpg", settingsWith([](S& s) { s.job.border.enabled = true; })},
        {"frame, scaled", input, "jpg", settingsWith([](S& s) {
             s.job.border.enabled = true;
             s.scaleFrom = 30;
         })},
        {"watermark", input, "jpg", settingsWith([](S& s) { s.job.watermark.enabled = true; })},
        {"signature, EXIF kept", dir.file("camera.jpg"), "jpg",
         settingsWith([](S& s) { s.job.signature.enabled = true; })},
        {"film off, framed", input, "jpg", settingsWith([](S& s) {
             s.job.film.enabled = false;
             s.job.border.enabled = true;
         })},
        {"TIFF", input, "tif", settingsWith([](S& s) { s.compression = 1; })},
        {"BMP, film off", dir.file("camera.jpg"), "bmp",
         settingsWith([](S& s) { s.job.film.enabled = false; })},
    };
    for (const auto& [name, from, extension, settings] : cases)
        expectSameFile(from, settings, name, extension);
}

TEST(StreamedConversion, FailuresLeaveNoFileAndSayWhy)
{
    test::TempDir dir;
    test::MessageCollector messages;
    const std::string input = jpegOf(dir, "input.jpg", scatteredColours(200, 120));
    std::vector<unsigned char> bytes = test::readFileBytes(input);
    bytes.resize(bytes.size() / 2);
    test::writeFileBytes(dir.file("cut.jpg"), bytes);
    test::writeFileBytes(dir.file("broken.dng"), {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0});
    const FileConversionSettings settings = conversion(film(kFilmVelvia, 0, 0, 0));

    struct Case {
        const char* name;
        std::string input;
        std::string output;
        FileConversionOutcome outcome;
        const char* reportedFile;
    };
    fs::create_directory(dir.file("locked"));
    fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    const bool lockable = ::access(dir.file("locked").c_str(), W_OK) != 0;  // not as root
    std::vector<Case> cases = {
        {"cut-off input", dir.file("cut.jpg"), dir.file("out.jpg"),
         FileConversionOutcome::ReadFailed, "cut.jpg"},
        {"missing input", dir.file("none.jpg"), dir.file("out.jpg"),
         FileConversionOutcome::ReadFailed, "none.jpg"},
        {"broken raw", dir.file("broken.dng"), dir.file("out.jpg"),
         FileConversionOutcome::ReadFailed, "broken.dng"},
        {"missing folder", input, dir.file("no/such/out.jpg"), FileConversionOutcome::WriteFailed,
         "out.jpg"},
    };
    if (lockable)
        cases.push_back({"unwritable folder", input, dir.file("locked/out.jpg"),
                         FileConversionOutcome::WriteFailed, "out.jpg"});
    for (const Case& c : cases) {
        Progress progress;
        NoticeLog log;
        const auto outcome = convertStreamed(c.input, c.output, settings, progress, log);
        ASSERT_TRUE(outcome.has_value()) << c.name;
        EXPECT_EQ(outcome->outcome, c.outcome) << c.name;
        EXPECT_FALSE(fs::exists(c.output)) << c.name;
        const Notices notices = log.take();
        ASSERT_FALSE(notices.empty()) << c.name;
        EXPECT_TRUE(messages.texts().empty()) << c.name;
        // The failure's box is said of the file that failed.
        EXPECT_EQ(notices.back().code, decltype(Notice::code)(outcome->failure.code)) << c.name;
        const std::string reported = notices.back().file;
        EXPECT_EQ(outcome->failure.code, c.outcome == FileConversionOutcome::ReadFailed
                                             ? ImageError::ReadFailed
                                             : ImageError::WriteFailed)
            << c.name;
        EXPECT_EQ(fs::path(reported).filename(), c.reportedFile) << c.name;
    }
    // Nothing left behind: no temporary files beside the outputs.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 3u);
    fs::permissions(dir.file("locked"), fs::perms::owner_all);

    // A failed conversion leaves an earlier output as it was.
    test::writeFileBytes(dir.file("kept.jpg"), {1, 2, 3});
    Progress progress;
    NoticeLog log;
    EXPECT_EQ(convertStreamed(dir.file("cut.jpg"), dir.file("kept.jpg"), settings, progress, log)
                  ->outcome,
              FileConversionOutcome::ReadFailed);
    EXPECT_EQ(test::readFileBytes(dir.file("kept.jpg")), (std::vector<unsigned char>{1, 2, 3}));
}

// A picture cut off in its data: the EXIF reader, which scans the file's sections, has its
// own complaint about such a file, but the whole-picture road never reads the EXIF data of a
// picture it cannot decode, so the user hears only about the picture.
TEST(StreamedConversion, CutOffPictureSaysWhatTheWholePictureRoadSays)
{
    test::TempDir dir;
    test::MessageCollector messages;
    const std::string input = jpegOf(dir, "input.jpg", scatteredColours(600, 400));
    std::vector<unsigned char> bytes = test::readFileBytes(input);
    for (size_t keep : {bytes.size() / 2, bytes.size() * 9 / 10}) {
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(keep));
        test::writeFileBytes(dir.file("cut.jpg"), cut);
        Image picture;
        ExifData exif;
        const WorkingPictureOpen opened =
            openWorkingPicture(dir.file("cut.jpg"), picture, exif, 0, true);
        EXPECT_FALSE(opened);
        ASSERT_FALSE(opened.notices.empty());
        Progress progress;
        NoticeLog log;
        const auto outcome = convertStreamed(dir.file("cut.jpg"), dir.file("out.jpg"),
                                             conversion(film(kFilmVelvia)), progress, log);
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->outcome, FileConversionOutcome::ReadFailed);
        const Notices streamed = log.take();
        ASSERT_EQ(streamed.size(), opened.notices.size()) << keep;
        for (size_t i = 0; i < streamed.size(); ++i) {
            EXPECT_EQ(streamed[i].code, opened.notices[i].code) << keep;
            EXPECT_EQ(noticeBox(streamed[i]).text, noticeBox(opened.notices[i]).text) << keep;
        }
        EXPECT_TRUE(messages.texts().empty());
    }
}

TEST(StreamedConversion, ProgressRisesWithTheRowsWritten)
{
    test::TempDir dir;
    const std::string input =
        jpegOf(dir, "input.jpg", scatteredColours(64, 10 * kPipelineStripRows));
    std::vector<int> positions;
    Progress progress([&](int position) { positions.push_back(position); });
    NoticeLog log;
    ASSERT_EQ(
        convertStreamed(input, dir.file("out.jpg"), conversion(film(kFilmVelvia)), progress, log)
            ->outcome,
        FileConversionOutcome::Converted);
    ASSERT_FALSE(positions.empty());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back(), 100);
    // Ten strips: the bar moves in between, not only at the end.
    EXPECT_GE(
        std::count_if(positions.begin(), positions.end(), [](int p) { return p > 0 && p < 92; }),
        5);
}

// The pipeline alone, with more helpers than strips or far fewer, sharpened or not, and long
// enough that the helpers sleep and wake many times: the order of the work must never show in
// the result.
TEST(StripPipeline, SameBytesOnAnyNumberOfThreads)
{
    test::TempDir dir;
    for (int sharpness : {0, 5}) {
        for (int height : {1, 16, 17, 47, 200, 1000}) {
            const std::string input = jpegOf(dir, "input.jpg", scatteredColours(23, height));
            const FilmSettings settings = film(kFilmE100Vs, 1, 3, sharpness);
            Image source;
            Image result;
            ASSERT_TRUE(JpegCodec().read(input, source));
            ASSERT_TRUE(runFilmStep(source, result, settings, nullptr, 100));
            ASSERT_TRUE(JpegCodec().write(dir.file("whole.jpg"), result, 85));
            const auto pointwise = PointwiseFilm::make(settings);
            ASSERT_TRUE(pointwise);
            ConvolutionFilter sharpen;
            const bool sharpened = makeSharpenFilter(settings.sharpnessPosition, sharpen);
            for (int threads : {1, 2, 3, 9}) {
                JpegStripReader reader;
                JpegStripWriter writer;
                ASSERT_TRUE(reader.open(input));
                ASSERT_TRUE(writer.open(dir.file("strips.jpg"), reader.width(), reader.height(),
                                        result.dpi(), 85));
                ASSERT_EQ(runStripPipeline(reader, writer, *pointwise,
                                           sharpened ? &sharpen : nullptr, {}, threads),
                          StripPipelineResult::Done);
                EXPECT_TRUE(test::readFileBytes(dir.file("strips.jpg")) ==
                            test::readFileBytes(dir.file("whole.jpg")))
                    << height << " rows, " << threads << " threads, sharpness " << sharpness;
            }
        }
    }
}

}  // namespace
}  // namespace tavelune
