// The conversion job: step order, progress positions, a failed film step, the worker thread.
#include "job/conversion_job.h"

#include <gtest/gtest.h>

#include <cstring>
#include <system_error>
#include <vector>

#include "engine/corvane_error.h"
#include "engine/image.h"
#include "engine/pixel_limit.h"
#include "overlay/info_tags.h"

namespace tavelune {
namespace {

Image photo(int w, int h)
{
    Image picture;
    picture.create(w, h, 72.0f);
    for (size_t p = 0; p < picture.pixelCount(); ++p)
        picture.pixels()[p] = 0xFF000000u | uint32_t((p * 40503u) & 0xFFFFFF);
    return picture;
}

std::vector<int> positions(const Image& source, const ConversionSettings& settings, bool& ok)
{
    std::vector<int> seen;
    Progress progress([&](int position) { seen.push_back(position); });
    Image result;
    Rect margins;
    ok = runConversionJob(source, nullptr, settings, &progress, result, margins).ok();
    return seen;
}

TEST(ConversionJob, FilmOffStillFramesWithProgressJumps)
{
    ConversionSettings settings;
    settings.film.enabled = false;
    settings.border.enabled = true;  // white mat 17/17/32/17, black 1-pixel border
    Image source = photo(60, 40);
    Image result;
    Rect margins;
    std::vector<int> seen;
    Progress progress([&](int position) { seen.push_back(position); });
    ASSERT_TRUE(runConversionJob(source, nullptr, settings, &progress, result, margins));
    EXPECT_EQ(seen, (std::vector<int>{0, 92, 94, 96, 98, 100}));
    EXPECT_EQ(result.width(), 60 + 34);
    EXPECT_EQ(result.height(), 40 + 49);
    EXPECT_EQ(margins.left, 17);
    EXPECT_EQ(margins.top, 17);
    EXPECT_EQ(result.pixelAt(17, 17), source.pixelAt(0, 0));  // the photo, untouched
}

TEST(ConversionJob, FailedFilmStepStopsBeforeTheFrame)
{
    ConversionSettings settings;
    settings.film.filmType = 3;  // no film has this code
    settings.border.enabled = true;
    bool ok = true;
    std::vector<int> seen = positions(photo(20, 10), settings, ok);
    EXPECT_FALSE(ok);
    Image result;
    Rect margins;
    EXPECT_EQ(runConversionJob(photo(20, 10), nullptr, settings, nullptr, result, margins).code(),
              ImageError::FilmFailed);
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(seen.back(), 94);
}

TEST(ConversionJob, StepBoxesComeBackInOrderWithTheFailureLast)
{
    // A mat picture that cannot be read, then a watermark text cut at the limit, then a
    // signature too large to make: the job shows nothing and hands all three back.
    ConversionSettings settings;
    settings.film.enabled = false;
    settings.border.enabled = true;
    settings.border.chooseMatPicture("/nonexistent/mat.png");
    settings.watermark.enabled = true;
    settings.watermark.mode = OverlayMode::Text;
    settings.watermark.text = "<UserName/><UserName/>";
    settings.tags.userName = std::string(kMaxExpandedTagText, 'u');
    Image source = photo(60, 40);
    Image result;
    Rect margins;
    ImageStatus ran = runConversionJob(source, nullptr, settings, nullptr, result, margins);
    ASSERT_TRUE(ran);
    auto codes = [](const ImageStatus& status) {
        std::vector<ImageError> seen;
        for (const Failure<ImageError>& box : status.warnings()) seen.push_back(box.code);
        return seen;
    };
    EXPECT_EQ(codes(ran), (std::vector<ImageError>{ImageError::ReadFailed, ImageError::TextCut}));

    settings.signature.enabled = true;
    settings.signature.mode = OverlayMode::Picture;
    ASSERT_TRUE(settings.signature.setPicture(photo(100, 100)));
    setMaxPicturePixels(9000);  // the framed 94 x 89 fits, the signature's canvas does not
    ran = runConversionJob(source, nullptr, settings, nullptr, result, margins);
    setMaxPicturePixels(0);
    ASSERT_FALSE(ran);
    EXPECT_EQ(ran.code(), ImageError::CanvasFailed);
    EXPECT_NE(ran.detail().find("the overlay picture would measure 100 x 100"), std::string::npos)
        << ran.detail();
    EXPECT_EQ(codes(ran), (std::vector<ImageError>{ImageError::ReadFailed, ImageError::TextCut}));
}

TEST(ConversionJob, RepeatedRunsStartAgainFromTheSource)
{
    ConversionSettings settings;
    settings.signature.enabled = true;
    settings.signature.text = "AB";
    settings.signature.font.faceName = "DejaVu Sans";
    Image source = photo(80, 50);
    const Image untouched = source;
    Image first, second;
    Rect margins;
    ASSERT_TRUE(runConversionJob(source, nullptr, settings, nullptr, first, margins));
    ASSERT_TRUE(runConversionJob(source, nullptr, settings, nullptr, second, margins));
    ASSERT_EQ(first.byteSize(), second.byteSize());
    EXPECT_EQ(0, std::memcmp(first.pixels(), second.pixels(), first.byteSize()));
    EXPECT_EQ(0, std::memcmp(source.pixels(), untouched.pixels(), source.byteSize()));
}

TEST(ConversionJob, WorkerRunsOnItsOwnCopyAndReportsThreadFailure)
{
    Image source = photo(30, 20);
    Image result;
    Rect margins;
    Progress progress;
    ConversionSettings settings;
    bool finished = false, okSeen = false;
    std::thread worker = startConversion(source, nullptr, settings, progress, result, margins,
                                         [&](bool ok) {
                                             finished = true;
                                             okSeen = ok;
                                         });
    settings.film.filmType = kFilmAstia;  // changing the caller's copy must not matter
    worker.join();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(okSeen);
    EXPECT_EQ(progress.position(), 100);

    auto failing = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    try {
        startConversion(source, nullptr, settings, progress, result, margins, {}, failing);
        FAIL() << "no exception";
    } catch (const CCorvaneError& error) {
        EXPECT_STREQ(error.what(), "Failed to create thread");
    }
}

}  // namespace
}  // namespace tavelune
