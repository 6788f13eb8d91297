// The film step: dispatch, copies, failures, the saturation branches and progress.
#include "film/film_step.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/image.h"
#include "film/colour_film.h"
#include "film/mono_film.h"
#include "film_test_pictures.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/pixel.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

constexpr FilmEngine kEngines[] = {FilmEngine::Reference, FilmEngine::Fast};

const char* nameOf(FilmEngine engine)
{
    return engine == FilmEngine::Fast ? "fast" : "reference";
}

FilmSettings withType(int type)
{
    FilmSettings s;
    s.filmType = type;
    return s;
}

std::vector<uint32_t> filmed(const Image& source, const FilmSettings& settings,
                             FilmEngine engine = FilmEngine::Fast)
{
    Image result;
    EXPECT_TRUE(runFilmStep(source, result, settings, nullptr, 92, engine));
    return test::pixelsOf(result);
}

// colourFilmCore over the picture's pixels, as a plain vector.
std::vector<uint32_t> core(const std::vector<uint32_t>& src, float gamma, bool portrait = false)
{
    std::vector<uint32_t> dst(src.size(), 0xFFFFFFFFu);
    EXPECT_TRUE(colourFilmCore(dst.data(), src.data(), uint32_t(src.size()), gamma, portrait,
                               nullptr, 100));
    return dst;
}

TEST(FilmStep, SwitchedOffCopiesEveryByteAndDoesNotSharpen)
{
    Image source = test::variedColourPicture(40, 30);
    source.setDpi(300.0f);
    FilmSettings settings;
    settings.enabled = false;
    settings.sharpnessPosition = 0;
    for (FilmEngine engine : kEngines) {
        Image result;
        Progress progress;
        progress.set(5);
        ASSERT_TRUE(runFilmStep(source, result, settings, &progress, 92, engine));
        EXPECT_EQ(test::pixelsOf(result), test::pixelsOf(source)) << nameOf(engine);
        EXPECT_EQ(result.width(), 40);
        EXPECT_EQ(result.height(), 30);
        EXPECT_EQ(result.dpi(), 300.0f);
        EXPECT_EQ(progress.position(), 97);
    }
}

TEST(FilmStep, FilmWithoutRecipeFailsAndLeavesTheResultWhite)
{
    Image source = test::variedColourPicture(9, 7);
    for (int type : {0, 3, 6, 99, -1}) {
        for (FilmEngine engine : kEngines) {
            Image result;
            Progress progress;
            EXPECT_FALSE(runFilmStep(source, result, withType(type), &progress, 92, engine))
                << type;
            EXPECT_EQ(result.width(), 9);
            EXPECT_EQ(result.height(), 7);
            EXPECT_EQ(test::pixelsOf(result), std::vector<uint32_t>(63, 0xFFFFFFFFu)) << type;
            EXPECT_EQ(progress.position(), 0);
        }
    }
}

TEST(FilmStep, SourceIsNeverChangedAndRerunsGiveTheSameResult)
{
    Image source = test::variedColourPicture(33, 17);
    std::vector<uint32_t> before = test::pixelsOf(source);
    FilmSettings settings;
    settings.saturation = 4;
    settings.sharpnessPosition = 1;
    Image result;
    ASSERT_TRUE(runFilmStep(source, result, settings, nullptr, 92));
    std::vector<uint32_t> first = test::pixelsOf(result);
    ASSERT_TRUE(runFilmStep(source, result, settings, nullptr, 92));
    EXPECT_EQ(test::pixelsOf(result), first);
    EXPECT_EQ(test::pixelsOf(source), before);
}

TEST(FilmStep, DefaultsRunTheChainOnceAtGamma125WithoutSharpening)
{
    Image source = test::variedColourPicture(64, 64);
    EXPECT_EQ(filmed(source, FilmSettings{}), core(test::pixelsOf(source), 1.25f));
}

TEST(FilmStep, KnownColoursOfTheDefaultLook)
{
    struct Case {
        bool portrait;
        uint32_t in, out;
    };
    const Case cases[] = {
        {false, 0xFF000000u, 0xFF000000u},
        {false, 0x00FFFFFFu, makePixel(255, 245, 245, 245)},  // 254 lifted, then mixed down
        {true, 0xFFFFFFFFu, makePixel(255, 254, 253, 252)},   // the portrait mix warms
    };
    for (const Case& c : cases) {
        Image source;
        source.setFillColour(c.in);
        ASSERT_TRUE(source.create(1, 1, 72.0f));
        FilmSettings settings;
        settings.portrait = c.portrait;
        for (FilmEngine engine : kEngines)
            EXPECT_EQ(filmed(source, settings, engine)[0], c.out) << std::hex << c.in;
    }
}

TEST(ExposureGamma, QuarterStopTable)
{
    const float expected[17] = {0.3125f, 0.375f, 0.4375f, 0.5f,  0.625f, 0.75f, 0.875f, 1.0f, 1.25f,
                                1.5f,    1.75f,  2.0f,    2.25f, 2.5f,   2.75f, 3.0f,   3.25f};
    for (int exposure = -8; exposure <= 8; ++exposure)
        EXPECT_EQ(exposureGamma(exposure), expected[exposure + 8]) << exposure;
    EXPECT_EQ(exposureGamma(-20), 0.3125f);
    EXPECT_EQ(exposureGamma(20), 3.25f);
    // Exposure -1 leaves the tone step alone; -8 acts as 0.31.
    EXPECT_EQ(LevelsCurve(0, 255, 0, 255, exposureGamma(-1)).lookup(),
              LevelsCurve(0, 255, 0, 255, 1.0).lookup());
    EXPECT_EQ(LevelsCurve(0, 255, 0, 255, exposureGamma(-8)).gamma(), 0.31f);
}

TEST(ColourFilm, SaturationBranches)
{
    Image source = test::variedColourPicture(64, 48);
    std::vector<uint32_t> src = test::pixelsOf(source);
    std::vector<uint32_t> once = core(src, 1.25f);

    // Below 0: the chain, then saturation 5 * s percent over every hue.
    std::vector<uint32_t> reduced = once;
    adjustHsv(reduced.data(), reduced.data(), uint32_t(reduced.size()), 0, -50, 0, 0, 359);
    // Above 0: a second chain at gamma 1.375 over the first, at alpha trunc(10 * s * 2.55).
    std::vector<uint32_t> twice = core(once, 1.375f);
    std::vector<uint32_t> blended = twice;
    fillChannel(blended.data(), uint32_t(blended.size()), 'A', 76);
    blendByAlpha(blended.data(), blended.data(), once.data(), uint32_t(blended.size()));

    for (FilmEngine engine : kEngines) {
        SCOPED_TRACE(nameOf(engine));
        FilmSettings s;
        s.saturation = -10;
        EXPECT_EQ(filmed(source, s, engine), reduced);
        s.saturation = 10;
        EXPECT_EQ(filmed(source, s, engine), twice);
        s.saturation = 3;
        EXPECT_EQ(filmed(source, s, engine), blended);
        s.saturation = 0;
        EXPECT_EQ(filmed(source, s, engine), once);
    }
    EXPECT_NE(reduced, once);
    EXPECT_NE(blended, twice);
}

TEST(MonoFilm, GreyUnlessBlackCorrectionLiftsGreen)
{
    Image source = test::variedColourPicture(64, 48);
    for (FilmEngine engine : kEngines) {
        for (bool highKey : {true, false}) {
            FilmSettings s = withType(kFilmTmax);
            s.highKey = highKey;
            for (uint32_t p : filmed(source, s, engine)) {
                ASSERT_EQ(alphaOf(p), 255);
                ASSERT_TRUE(redOf(p) == greenOf(p) && greenOf(p) == blueOf(p)) << std::hex << p;
            }
            s.blackCorrection = true;
            int lifted = 0;
            for (uint32_t p : filmed(source, s, engine)) {
                ASSERT_EQ(redOf(p), blueOf(p));
                ASSERT_GE(greenOf(p), redOf(p));
                lifted += greenOf(p) > redOf(p);
            }
            EXPECT_GT(lifted, 1000) << nameOf(engine);
        }
    }
}

TEST(MonoFilm, SaturationSliderChangesLightnessByHalf)
{
    Image source = test::variedColourPicture(64, 48);
    FilmSettings s = withType(kFilmTmax);
    std::vector<uint32_t> plain = filmed(source, s);
    for (int saturation : {-10, -3, 10}) {
        std::vector<uint32_t> expected = plain;
        adjustHsv(expected.data(), expected.data(), uint32_t(expected.size()), 0, 0, 5 * saturation,
                  0, 359);
        s.saturation = saturation;
        for (FilmEngine engine : kEngines)
            EXPECT_EQ(filmed(source, s, engine), expected) << saturation;
    }
    s.saturation = 10;
    std::vector<uint32_t> brighter = filmed(source, s);
    s.saturation = -10;
    std::vector<uint32_t> darker = filmed(source, s);
    for (size_t i = 0; i < plain.size(); ++i) {
        ASSERT_GE(greenOf(brighter[i]), greenOf(plain[i]));
        ASSERT_LE(greenOf(darker[i]), greenOf(plain[i]));
    }
}

// The bar's positions as a listener sees them.
std::vector<int> progressOf(const Image& source, const FilmSettings& settings, int budget,
                            int start, FilmEngine engine)
{
    std::vector<int> positions;
    Progress progress([&](int position) { positions.push_back(position); });
    progress.set(start);
    positions.clear();
    Image result;
    runFilmStep(source, result, settings, &progress, budget, engine);
    return positions;
}

TEST(FilmProgress, DefaultColourPositionsWithTheJobsBudget)
{
    Image source = test::variedColourPicture(100, 80);
    // Each advance of k adds trunc(0.92f * k); the chain and the recipe both land on 92.
    const std::vector<int> expected = {4, 13, 22, 31, 40, 49, 53, 62, 66, 75, 79, 83, 92, 92};
    for (FilmEngine engine : kEngines)
        EXPECT_EQ(progressOf(source, FilmSettings{}, 92, 0, engine), expected) << nameOf(engine);
}

TEST(FilmProgress, EnginesShowTheSamePositionsForEveryRecipeRoad)
{
    Image source = test::variedColourPicture(200, 150);
    std::vector<FilmSettings> roads;
    for (int saturation : {-4, 0, 6}) {
        FilmSettings s;
        s.saturation = saturation;
        roads.push_back(s);
    }
    for (bool highKey : {true, false}) {
        FilmSettings s = withType(kFilmTmax);
        s.highKey = highKey;
        s.sharpnessPosition = 2;
        roads.push_back(s);
    }
    for (int film : {kFilmE100Vs, kFilmAstia}) {
        for (int saturation : {-4, 0, 6}) {
            FilmSettings s = withType(film);
            s.saturation = saturation;
            roads.push_back(s);
        }
    }
    for (const FilmSettings& s : roads) {
        for (int budget : {92, 100, 3, 57}) {
            std::vector<int> reference = progressOf(source, s, budget, 3, FilmEngine::Reference);
            ASSERT_FALSE(reference.empty());
            EXPECT_EQ(reference.back(), 3 + budget);
            EXPECT_EQ(progressOf(source, s, budget, 3, FilmEngine::Fast), reference)
                << "type " << s.filmType << " saturation " << s.saturation << " budget " << budget;
        }
    }
}

TEST(FilmProgress, TinyBudgetsLoseTheirFractions)
{
    // 0.03f * 100 truncates to 2, so the chain itself gets 2 points and lands on 2.
    Image source = test::variedColourPicture(10, 10);
    std::vector<int> positions = progressOf(source, FilmSettings{}, 3, 0, FilmEngine::Reference);
    ASSERT_GE(positions.size(), 2u);
    EXPECT_EQ(positions[positions.size() - 2], 2);
    EXPECT_EQ(positions.back(), 3);
}

}  // namespace
}  // namespace tavelune
