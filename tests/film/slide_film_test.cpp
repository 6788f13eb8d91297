// The slide recipes: the general chain against Velvia's, the fused bands against adjustHsv,
// and the greys of a mix whose rows sum to 100.
#include "film/slide_film.h"

#include <gtest/gtest.h>

#include <vector>

#include "film/colour_film.h"
#include "film/film_settings.h"
#include "film/fused_colour.h"
#include "film/fused_slide.h"
#include "film_test_pictures.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

SlideRecipe velviaAsSlide()
{
    SlideRecipe r{};
    r.overlayAlpha = 128;
    r.shadowGamma = 0.8;
    r.multiplyAlpha = 128;
    r.strength = 255;
    for (int i = 0; i < 3; ++i)
        r.bands[i] = {kColourBands[i].from, kColourBands[i].to, 0, kBandSaturationBoost};
    r.bandCount = 3;
    r.mix = colourFilmMix(false);
    r.portraitMix = colourFilmMix(true);
    r.saturationPassGamma = kSaturationPassGamma;
    return r;
}

struct Setting {
    int exposure, saturation;
    bool portrait;
};
constexpr Setting kSettings[] = {
    {0, 0, false}, {-8, 0, true}, {3, -4, false}, {0, 3, true}, {-2, 10, false}};

std::vector<uint32_t> reference(const SlideRecipe& recipe, const std::vector<uint32_t>& src,
                                const Setting& s, Progress* progress = nullptr)
{
    std::vector<uint32_t> dst(src.size(), 0xFFFFFFFFu);
    EXPECT_TRUE(slideFilm(dst.data(), src.data(), uint32_t(src.size()), recipe, s.exposure,
                          s.saturation, s.portrait, progress, 92));
    return dst;
}

template <typename Film>
std::vector<uint32_t> fused(const Film& film, const std::vector<uint32_t>& src)
{
    std::vector<uint32_t> dst(src.size());
    film.run(src.data(), dst.data(), src.size());
    return dst;
}

TEST(SlideFilm, VelviasConstantsGiveVelviasBytesOnBothEngines)
{
    std::vector<uint32_t> src = test::pixelsOf(test::variedColourPicture(256, 128));
    const uint32_t n = uint32_t(src.size());
    SlideRecipe velvia = velviaAsSlide();
    for (const Setting& s : kSettings) {
        SCOPED_TRACE(testing::Message() << s.exposure << " " << s.saturation << " " << s.portrait);
        std::vector<uint32_t> expected(n, 0xFFFFFFFFu);
        ASSERT_TRUE(colourFilm(expected.data(), src.data(), n, s.exposure, s.saturation, s.portrait,
                               nullptr, 92));
        EXPECT_EQ(reference(velvia, src, s), expected);
        EXPECT_EQ(fused(FusedSlideFilm(velvia, s.exposure, s.saturation, s.portrait), src),
                  fused(FusedColourFilm(s.exposure, s.saturation, s.portrait), src));
    }
}

TEST(SlideFilm, FusedBandsFollowAdjustHsvForAnyBandShape)
{
    // Bands through hue 0 (which every grey has), wrapping round, one degree wide, half the
    // circle with a large shift: the fused test of which bands may hold a hue must never
    // skip one that the exact computation finds.
    const SlideBand shapes[][SlideRecipe::kMaxBands] = {
        {{0, 30, -20, 40}, {350, 20, 10, -30}, {200, 200, 5, 50}, {100, 359, 180, -100}},
        {{1, 2, 90, 100}, {44, 76, -7, 25}, {300, 359, 30, 10}, {59, 61, -180, 0}},
    };
    std::vector<uint32_t> src = test::pixelsOf(test::variedColourPicture(512, 300, 7));
    for (const auto& bands : shapes) {
        SlideRecipe recipe = velviaAsSlide();
        recipe.strength = 180;
        recipe.overlayAlpha = 40;
        recipe.multiplyAlpha = 200;
        recipe.shadowGamma = 1.3;
        recipe.bandCount = SlideRecipe::kMaxBands;
        std::copy(std::begin(bands), std::end(bands), recipe.bands);
        for (const Setting& s : kSettings)
            EXPECT_EQ(fused(FusedSlideFilm(recipe, s.exposure, s.saturation, s.portrait), src),
                      reference(recipe, src, s))
                << bands[0].from << " " << s.saturation;
    }
}

TEST(SlideFilm, AstiaKeepsEveryGreyGreyAndE100VsWarmsThem)
{
    std::vector<uint32_t> greys;
    for (int v = 0; v < 256; ++v) greys.push_back(makePixel(255, v, v, v));
    std::vector<uint32_t> astia = reference(*slideRecipeFor(kFilmAstia), greys, {0, 0, false});
    std::vector<uint32_t> e100 = reference(*slideRecipeFor(kFilmE100Vs), greys, {0, 0, false});
    int warmed = 0;
    for (int v = 0; v < 256; ++v) {
        uint32_t a = astia[size_t(v)];
        EXPECT_TRUE(redOf(a) == greenOf(a) && greenOf(a) == blueOf(a)) << v << std::hex << " " << a;
        uint32_t e = e100[size_t(v)];
        EXPECT_GE(redOf(e), blueOf(e)) << v;
        warmed += redOf(e) > blueOf(e);
    }
    EXPECT_GT(warmed, 200);
}

TEST(SlideFilm, CoreProgressAddsUpToItsBudget)
{
    std::vector<uint32_t> src = test::pixelsOf(test::variedColourPicture(16, 16));
    for (int film : {kFilmE100Vs, kFilmAstia}) {
        const SlideRecipe& recipe = *slideRecipeFor(film);
        int sum = 0;
        for (int k : slideCoreAdvances(recipe)) sum += k;
        EXPECT_LE(sum, 100) << film;
        std::vector<int> seen;
        Progress progress([&](int position) { seen.push_back(position); });
        std::vector<uint32_t> dst(src.size());
        ASSERT_TRUE(slideFilmCore(dst.data(), src.data(), uint32_t(src.size()), recipe, 1.25f,
                                  false, &progress, 100));
        ASSERT_EQ(seen.size(), slideCoreAdvances(recipe).size() + 1);
        EXPECT_EQ(seen[seen.size() - 2], sum);
        EXPECT_EQ(seen.back(), 100);
    }
}

}  // namespace
}  // namespace tavelune
