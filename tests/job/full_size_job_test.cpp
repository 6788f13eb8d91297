// Full size: the folded geometry steps, the scaled settings, the re-run job and its save.
#include "job/full_size_job.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/format_dispatch.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "exif/keep_exif.h"
#include "job/file_conversion.h"
#include "job/scale_settings.h"
#include "overlay/apply_border.h"
#include "overlay/unit_fields.h"
#include "support/test_dng.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

Image gradient(int w, int h)
{
    Image picture;
    picture.create(w, h, 72.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.setPixel(x, y, 0xFF000000u | uint32_t(x * 256 + y));
    return picture;
}

bool samePixels(const Image& a, const Image& b)
{
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.pixels(), a.pixels() + a.pixelCount(), b.pixels());
}

// The largest of the three channels' mean absolute differences, in levels.
double meanDifference(const Image& a, const Image& b)
{
    double sums[3] = {0, 0, 0};
    for (size_t i = 0; i < a.pixelCount(); ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += std::abs(int((a.pixels()[i] >> (8 * c)) & 0xFF) -
                                int((b.pixels()[i] >> (8 * c)) & 0xFF));
    return std::max({sums[0], sums[1], sums[2]}) / double(a.pixelCount());
}

// A photograph at a size above the working size, written as a JPEG.
std::string writeLargePhoto(const test::TempDir& dir, int w, int h)
{
    const std::string path = dir.file("large.jpg");
    EXPECT_TRUE(test::writeSamplePhoto(path, w, h, 95));
    return path;
}

Image logo()
{
    Image picture;
    picture.create(48, 24, 72.0f);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 48; ++x)
            picture.setPixel(x, y,
                             (x - 24) * (x - 24) + (y - 12) * (y - 12) * 4 < 400
                                 ? 0xFF000000u | uint32_t(x * 5 << 16) | uint32_t(y * 10)
                                 : 0xFFFFFFFFu);
    return picture;
}

ConversionSettings framedSignedWatermarked()
{
    ConversionSettings settings;
    settings.border.enabled = true;
    settings.border.applyPreset(kPresetWhiteMatBlackBorder);
    settings.signature.enabled = true;
    settings.signature.text = "Tavelune 2026";
    settings.signature.font.height = -16;
    settings.watermark.enabled = true;
    settings.watermark.setPicture(logo());
    settings.watermark.setTransparentColour(0xFFFFFF);
    settings.watermark.opacity = 70;
    return settings;
}

struct Rendered {
    Image working, full;
    Rect workingMargins, fullMargins;
    double factor = 0;
};

Rendered renderBoth(const std::string& path, const ConversionSettings& settings,
                    const std::vector<GeometryStep>& steps = {})
{
    Rendered r;
    Image source;
    ExifData exif;
    Rect fullSize;
    EXPECT_TRUE(openWorkingPicture(path, source, exif, 800, true, &fullSize));
    FullSizeJob job;
    job.path = path;
    job.geometry = GeometryRecord(fullSize.right, fullSize.bottom);
    for (GeometryStep step : steps) {
        job.geometry.record(step);
        if (step == GeometryStep::Rotate)
            source.rotate(90);
        else if (step == GeometryStep::Mirror)
            source.mirrorHorizontal();
        else
            source.flipVertical();
    }
    EXPECT_TRUE(runConversionJob(source, nullptr, settings, nullptr, r.working, r.workingMargins));
    job.workingWidth = source.width();
    job.workingHeight = source.height();
    job.dpi = source.dpi();
    job.settings = settings;
    r.factor = fullSizeFactor(job);
    EXPECT_EQ(renderFullSize(job, nullptr, nullptr, r.full, r.fullMargins), FullSizeOutcome::Saved);
    const Rect expected = fullSizeOutputSize(job);
    EXPECT_EQ(r.full.width(), expected.right);
    EXPECT_EQ(r.full.height(), expected.bottom);
    return r;
}

Image reduced(const Image& full, const Image& like)
{
    Image copy = full;
    EXPECT_TRUE(copy.resize(like.width(), like.height(), kBilinear));
    return copy;
}

TEST(GeometryRecord, FoldedStepsTurnLikeTheStepsInOrder)
{
    const Image start = gradient(5, 3);
    const GeometryStep all[] = {GeometryStep::Rotate, GeometryStep::Mirror, GeometryStep::Flip};
    // Every sequence of up to four steps.
    for (int length = 0; length <= 4; ++length) {
        int count = 1;
        for (int i = 0; i < length; ++i) count *= 3;
        for (int code = 0; code < count; ++code) {
            Image stepped = start;
            GeometryRecord record(5, 3);
            std::string name;
            for (int i = 0, c = code; i < length; ++i, c /= 3) {
                const GeometryStep step = all[c % 3];
                record.record(step);
                name += "RMF"[c % 3];
                if (step == GeometryStep::Rotate)
                    stepped.rotate(90);
                else if (step == GeometryStep::Mirror)
                    stepped.mirrorHorizontal();
                else
                    stepped.flipVertical();
            }
            Image replayed = start;
            ASSERT_TRUE(record.replay(replayed));
            EXPECT_TRUE(samePixels(replayed, stepped)) << name;
            EXPECT_EQ(record.fullWidth(), stepped.width()) << name;
            EXPECT_EQ(record.fullHeight(), stepped.height()) << name;
        }
    }
}

// Scaled: every length grows with the picture. Kept at size: lengths in inches, centimetres
// and millimetres give the pixels they give on the preview, pixel lengths still grow.
TEST(ScaleSettings, LengthsInEveryUnitFollowThePreviewWithinAPixel)
{
    struct Case {
        int unit;
        double value;
    };
    const Case cases[] = {{0, 17}, {0, 1.2}, {1, 0.25}, {2, 0.5}, {3, 2.5}, {3, 0.3}};
    const double dpi = 300;
    for (PrintLengths lengths : {PrintLengths::Scaled, PrintLengths::KeptAtSize}) {
        for (double scale : {2.5, 7.5, 3.0037}) {
            for (const Case& c : cases) {
                const double factor =
                    lengths == PrintLengths::KeptAtSize && c.unit != 0 ? 1.0 : scale;
                ConversionSettings settings;
                settings.border.enabled = true;
                settings.border.mat = {{c.value, c.value * 2, c.value * 3, c.value}, c.unit, false};
                settings.border.border = {{c.value, c.value, c.value, c.value}, c.unit, false};
                settings.signature.unit = c.unit;
                settings.signature.offsetX = c.value;
                settings.signature.offsetY = -c.value;
                const ConversionSettings scaled =
                    scaleConversionSettings(settings, scale, dpi, lengths);
                const BorderGeometry preview = borderGeometry(settings.border, 800, 533, dpi);
                const BorderGeometry full =
                    borderGeometry(scaled.border, int(800 * factor), int(533 * factor), dpi);
                const int previewSides[] = {preview.mat.left, preview.mat.top, preview.mat.right,
                                            preview.mat.bottom, preview.border.left};
                const int fullSides[] = {full.mat.left, full.mat.top, full.mat.right,
                                         full.mat.bottom, full.border.left};
                for (int i = 0; i < 5; ++i)
                    EXPECT_LE(std::abs(fullSides[i] - previewSides[i] * factor), 1.0)
                        << "unit " << c.unit << " value " << c.value << " side " << i;
                const int previewX = fieldPixels(c.value, c.unit, dpi);
                const int previewY = fieldPixels(-c.value, c.unit, dpi);
                EXPECT_LE(
                    std::abs(fieldPixels(scaled.signature.offsetX, scaled.signature.unit, dpi) -
                             previewX * factor),
                    1.0);
                EXPECT_LE(
                    std::abs(fieldPixels(scaled.signature.offsetY, scaled.signature.unit, dpi) -
                             previewY * factor),
                    1.0);
                EXPECT_LE(
                    std::abs(scaled.signature.font.height - settings.signature.font.height * scale),
                    1.0);
            }
        }
    }
}

TEST(ScaleSettings, OverlayPictureIsResampledWithoutKeyFringes)
{
    // Without a key or transparency the premultiplied road gives plain bicubic bytes.
    Image opaque = gradient(20, 10);
    Image plain = opaque;
    ASSERT_TRUE(plain.resize(61, 30, kBicubic));
    EXPECT_TRUE(samePixels(scaleOverlayPicture(opaque, 61, 30), plain));

    // A red disc on a keyed white ground: no visible pixel may carry the white in.
    OverlaySettings overlay = OverlaySettings::watermark();
    Image disc;
    disc.create(20, 20, 72.0f);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            disc.setPixel(
                x, y, (x - 10) * (x - 10) + (y - 10) * (y - 10) < 49 ? 0xFFFF0000u : 0xFFFFFFFFu);
    overlay.setPicture(disc);
    overlay.setTransparentColour(0xFFFFFF);
    const Image scaled = scaleOverlayPicture(overlay.picture, 70, 70);
    ASSERT_EQ(scaled.width(), 70);
    int visible = 0;
    for (size_t i = 0; i < scaled.pixelCount(); ++i) {
        const uint32_t p = scaled.pixels()[i];
        if ((p >> 24) == 0)
            continue;
        ++visible;
        EXPECT_LE((p >> 8) & 0xFF, 8u) << "green bled in at " << i;
        EXPECT_LE(p & 0xFF, 8u) << "blue bled in at " << i;
    }
    EXPECT_GT(visible, 1500);
    EXPECT_GE(scaled.colourKey().opacity, 100);
}

TEST(FullSize, ReducedFullSizeLooksLikeTheWorkingResult)
{
    test::TempDir dir;
    // A camera raw's working copy is developed at half size, the full-size save in full.
    Image photo;
    ASSERT_TRUE(openImage(writeLargePhoto(dir, 2400, 1600), photo));
    const std::string raw = dir.file("large.dng");
    test::TestDngOptions turned;
    turned.orientation = 6;
    ASSERT_TRUE(test::writeTestDng(raw, photo, turned));
    for (const std::string& path : {dir.file("large.jpg"), raw}) {
        const Rendered r = renderBoth(path, framedSignedWatermarked());
        EXPECT_DOUBLE_EQ(r.factor, 3.0) << path;
        EXPECT_LT(meanDifference(reduced(r.full, r.working), r.working), 3.0) << path;
    }
}

TEST(FullSize, FrameAndSignatureScaleWithinAPixelInEveryUnit)
{
    test::TempDir dir;
    const std::string path = writeLargePhoto(dir, 2000, 1300);  // working 800 x 520, factor 2.5
    Image mark;
    mark.create(30, 14, 72.0f);
    mark.fill(0xFFFF00FFu);
    for (int unit = 0; unit <= 3; ++unit) {
        const double value = unit == 0 ? 13 : unit == 1 ? 0.07 : unit == 2 ? 0.17 : 1.7;
        ConversionSettings settings;
        settings.film.enabled = false;
        settings.border.enabled = true;
        settings.border.mat = {{value, value * 2, value * 3, value}, unit, false};
        settings.border.border = {{value / 4, value / 4, value / 4, value / 4}, unit, false};
        settings.signature.enabled = true;
        settings.signature.mode = OverlayMode::Picture;
        settings.signature.setPicture(mark);
        settings.signature.unit = unit;
        settings.signature.offsetX = value;
        settings.signature.offsetY = value * 1.5;
        const Rendered r = renderBoth(path, settings);
        ASSERT_DOUBLE_EQ(r.factor, 2.5);
        const Rect& w = r.workingMargins;
        const Rect& f = r.fullMargins;
        EXPECT_LE(std::abs(f.left - w.left * 2.5), 1.0) << unit;
        EXPECT_LE(std::abs(f.top - w.top * 2.5), 1.0) << unit;
        EXPECT_LE(std::abs(f.right - w.right * 2.5), 1.0) << unit;
        EXPECT_LE(std::abs(f.bottom - w.bottom * 2.5), 1.0) << unit;
        // The mark's box: its distance from the right and bottom edges and its size.
        auto box = [](const Image& image) {
            Rect b{image.width(), image.height(), -1, -1};
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelAt(x, y) == 0xFFFF00FFu)
                        b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
                             std::max(b.bottom, y + 1)};
            return b;
        };
        const Rect bw = box(r.working);
        const Rect bf = box(r.full);
        ASSERT_GT(bw.right, 0);
        EXPECT_LE(std::abs((r.full.width() - bf.right) - (r.working.width() - bw.right) * 2.5),
                  1.0);
        EXPECT_LE(std::abs((r.full.height() - bf.bottom) - (r.working.height() - bw.bottom) * 2.5),
                  1.0);
        EXPECT_LE(std::abs((bf.right - bf.left) - (bw.right - bw.left) * 2.5), 1.0);
        EXPECT_LE(std::abs((bf.bottom - bf.top) - (bw.bottom - bw.top) * 2.5), 1.0);
    }
}

TEST(FullSize, TurnsAndMirrorsSinceOpeningAreReplayed)
{
    test::TempDir dir;
    const std::string path = writeLargePhoto(dir, 2400, 1600);
    const ConversionSettings settings;
    const Rendered r = renderBoth(path, settings,
                                  {GeometryStep::Rotate, GeometryStep::Mirror, GeometryStep::Rotate,
                                   GeometryStep::Flip, GeometryStep::Rotate});
    ASSERT_LT(r.working.width(), r.working.height());
    // The working picture was reduced sampling at pixel corners, so once turned it sits up to
    // two thirds of its pixel away from the reduced full size: close, but not as close as an
    // unturned one. Every other orientation of the same size must be much further off.
    const double replayed = meanDifference(reduced(r.full, r.working), r.working);
    EXPECT_LT(replayed, 5.0);
    for (int other = 1; other < 4; ++other) {
        Image wrong = r.full;
        if (other & 1)
            wrong.mirrorHorizontal();
        if (other & 2)
            wrong.flipVertical();
        EXPECT_GT(meanDifference(reduced(wrong, r.working), r.working), 3 * replayed) << other;
    }
}

TEST(FullSize, CancelOrFailureLeavesNoFileAndTheOldOneIntact)
{
    test::TempDir dir;
    const std::string path = writeLargePhoto(dir, 1600, 1000);
    Image source;
    ExifData exif;
    Rect fullSize;
    ASSERT_TRUE(openWorkingPicture(path, source, exif, 800, true, &fullSize));
    FullSizeJob job;
    job.path = path;
    job.geometry = GeometryRecord(fullSize.right, fullSize.bottom);
    job.workingWidth = source.width();
    job.workingHeight = source.height();
    job.settings = framedSignedWatermarked();

    // Cancel asked for at the start, during the film, and while the file is being written.
    for (int cancelAt : {0, 30, 98}) {
        const std::string fresh = dir.file("fresh-" + std::to_string(cancelAt) + ".jpg");
        const std::string old = dir.file("old.jpg");
        test::writeFileBytes(old, {'o', 'l', 'd'});
        for (const std::string& output : {fresh, old}) {
            std::atomic<int> cancel{0};
            Progress progress([&](int position) {
                if (position >= cancelAt)
                    cancel = 1;
            });
            EXPECT_EQ(saveFullSize(job, output, {}, &progress, &cancel), FullSizeOutcome::Cancelled)
                << cancelAt;
        }
        EXPECT_FALSE(std::filesystem::exists(fresh)) << cancelAt;
        EXPECT_EQ(test::readFileBytes(old), (std::vector<unsigned char>{'o', 'l', 'd'}));
    }
    // A file that changed size since it was opened is refused, not scaled wrongly.
    FullSizeJob changed = job;
    changed.geometry = GeometryRecord(fullSize.right + 2, fullSize.bottom);
    EXPECT_EQ(saveFullSize(changed, dir.file("changed.jpg"), {}, nullptr, nullptr),
              FullSizeOutcome::SourceChanged);
    // Nothing but the picture and the old file is left in the folder: no temporary files.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);

    const std::string saved = dir.file("saved.jpg");
    EXPECT_EQ(saveFullSize(job, saved, {ImageFormat::Jpeg, 80, true}, nullptr, nullptr),
              FullSizeOutcome::Saved);
    Image written;
    ASSERT_TRUE(openImage(saved, written));
    EXPECT_EQ(written.width(), fullSizeOutputSize(job).right);
    EXPECT_EQ(written.height(), fullSizeOutputSize(job).bottom);
}

// The whole-picture save of today, step by step, for comparison with the streamed one.
void saveWhole(const FullSizeJob& job, const std::string& output, const FullSizeOutput& how)
{
    Image result;
    Rect margins;
    ASSERT_EQ(renderFullSize(job, nullptr, nullptr, result, margins), FullSizeOutcome::Saved);
    ASSERT_TRUE(saveImage(output, result, how.format, how.options));
    if (how.keepExif && job.exif && !job.exif->IsEmpty()) {
        ExifData kept;
        for (const auto& entry : job.exif->entries())
            kept.entries().push_back(std::make_unique<ExifEntry>(*entry));
        ASSERT_TRUE(writeKeptExif(kept, output, result, true, ImageFormat::Jpeg));
    }
}

FullSizeJob workingJob(const std::string& path, ExifData& exif, int fit)
{
    Image source;
    Rect fullSize;
    EXPECT_TRUE(openWorkingPicture(path, source, exif, fit, true, &fullSize));
    FullSizeJob job;
    job.path = path;
    job.geometry = GeometryRecord(fullSize.right, fullSize.bottom);
    job.workingWidth = source.width();
    job.workingHeight = source.height();
    job.dpi = source.dpi();
    job.exif = &exif;
    return job;
}

TEST(FullSize, UnframedJpegSaveStreamsTheSameFile)
{
    test::TempDir dir;
    std::filesystem::copy_file(test::fixturePath("camera-exif/canon-eos-20d.jpg"),
                               dir.file("camera.jpg"));
    const std::string large = writeLargePhoto(dir, 701, 333);
    ExifData cameraExif;
    ExifData noExif;
    struct Case {
        const char* name;
        FullSizeJob job;
        FullSizeOutput how;
    };
    FullSizeJob sharpened = workingJob(large, noExif, 300);
    sharpened.settings.film.sharpnessPosition = 1;
    sharpened.settings.film.filmType = kFilmTmax;
    FullSizeJob turnedTwice = workingJob(large, noExif, 300);
    turnedTwice.geometry.record(GeometryStep::Rotate);
    turnedTwice.geometry.record(GeometryStep::Rotate);
    turnedTwice.geometry.record(GeometryStep::Rotate);
    turnedTwice.geometry.record(GeometryStep::Rotate);
    FullSizeJob filmOff = workingJob(large, noExif, 0);
    filmOff.settings.film.enabled = false;
    const Case cases[] = {
        {"reduced working picture", workingJob(large, noExif, 300), {ImageFormat::Jpeg, 85, true}},
        {"sharpened monochrome", sharpened, {ImageFormat::Jpeg, 60, true}},
        {"four turns", turnedTwice, {ImageFormat::Jpeg, 75, true}},
        {"film off", filmOff, {ImageFormat::Jpeg, 100, true}},
        {"camera file, EXIF kept",
         workingJob(dir.file("camera.jpg"), cameraExif, 0),
         {ImageFormat::Jpeg, 90, true}},
        {"camera file, EXIF dropped",
         workingJob(dir.file("camera.jpg"), cameraExif, 0),
         {ImageFormat::Jpeg, 90, false}},
    };
    for (const Case& c : cases) {
        saveWhole(c.job, dir.file("whole.jpg"), c.how);
        const auto outcome =
            saveFullSizeStreamed(c.job, dir.file("streamed.jpg"), c.how, nullptr, nullptr);
        ASSERT_TRUE(outcome.has_value()) << c.name;
        ASSERT_EQ(*outcome, FullSizeOutcome::Saved) << c.name;
        EXPECT_TRUE(test::readFileBytes(dir.file("streamed.jpg")) ==
                    test::readFileBytes(dir.file("whole.jpg")))
            << c.name;
    }

    // A turn, a frame, an overlay or another format need the whole picture.
    FullSizeJob turned = workingJob(large, noExif, 300);
    turned.geometry.record(GeometryStep::Mirror);
    FullSizeJob framed = workingJob(large, noExif, 300);
    framed.settings = framedSignedWatermarked();
    const std::pair<FullSizeJob, FullSizeOutput> whole[] = {
        {turned, {}}, {framed, {}}, {workingJob(large, noExif, 300), {ImageFormat::Tiff, 5, true}}};
    for (const auto& [job, how] : whole)
        EXPECT_FALSE(saveFullSizeStreamed(job, dir.file("x"), how, nullptr, nullptr).has_value());
}

TEST(FullSize, StreamedSaveCancelsBetweenStripsAndReportsACutFile)
{
    test::TempDir dir;
    const std::string large = writeLargePhoto(dir, 640, 480);
    ExifData exif;
    const FullSizeJob job = workingJob(large, exif, 320);
    for (int cancelAt : {0, 30, 98}) {
        std::atomic<int> cancel{0};
        Progress progress([&](int position) {
            if (position >= cancelAt)
                cancel = 1;
        });
        const auto outcome = saveFullSizeStreamed(job, dir.file("out.jpg"), {}, &progress, &cancel);
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(*outcome, FullSizeOutcome::Cancelled) << cancelAt;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.jpg"))) << cancelAt;
    }
    std::vector<unsigned char> bytes = test::readFileBytes(large);
    bytes.resize(bytes.size() / 2);
    test::writeFileBytes(large, bytes);
    test::MessageCollector messages;
    const std::optional<FullSizeResult> cut =
        saveFullSizeStreamed(job, dir.file("out.jpg"), {}, nullptr, nullptr);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(*cut, FullSizeOutcome::ReadFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.jpg")));
    // The open error is handed back for the front end, not shown.
    ASSERT_FALSE(cut->notices.empty());
    EXPECT_EQ(cut->notices.back().code, decltype(Notice::code)(ImageError::ReadFailed));
    EXPECT_TRUE(messages.texts().empty());
    // Only the source is left: no temporary files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace tavelune
