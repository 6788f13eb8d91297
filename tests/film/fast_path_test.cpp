// The fused, threaded engine must give the reference chain's bytes for every setting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/image.h"
#include "film/film_step.h"
#include "film_test_pictures.h"

namespace tavelune {
namespace {

struct Family {
    std::string name;
    FilmSettings settings;
};

FilmSettings colour(int exposure, int saturation, bool portrait, int sharpness = 5,
                    int film = kFilmVelvia)
{
    FilmSettings s;
    s.filmType = film;
    s.exposure = exposure;
    s.saturation = saturation;
    s.portrait = portrait;
    s.sharpnessPosition = sharpness;
    return s;
}

FilmSettings mono(int exposure, int saturation, bool highKey, bool blackCorrection,
                  int sharpness = 5)
{
    FilmSettings s;
    s.filmType = kFilmTmax;
    s.exposure = exposure;
    s.saturation = saturation;
    s.highKey = highKey;
    s.blackCorrection = blackCorrection;
    s.sharpnessPosition = sharpness;
    return s;
}

std::vector<Family> slideFamilies(int film)
{
    return {
        {"defaults", colour(0, 0, false, 5, film)},
        {"portrait", colour(0, 0, true, 5, film)},
        {"exposure -8", colour(-8, 0, false, 5, film)},
        {"exposure +8 portrait", colour(8, 0, true, 5, film)},
        {"saturation -10", colour(0, -10, false, 5, film)},
        {"saturation -3 portrait exposure +3", colour(3, -3, true, 5, film)},
        {"saturation +3", colour(0, 3, false, 5, film)},
        {"saturation +10 portrait exposure -5", colour(-5, 10, true, 5, film)},
        {"sharpness 0 saturation +6", colour(1, 6, false, 0, film)},
    };
}

std::vector<Family> families()
{
    std::vector<Family> all = {
        {"colour defaults", colour(0, 0, false)},
        {"colour portrait", colour(0, 0, true)},
        {"colour exposure -8", colour(-8, 0, false)},
        {"colour exposure -5", colour(-5, 0, true)},
        {"colour exposure -1", colour(-1, 0, false)},
        {"colour exposure +8", colour(8, 0, false)},
        {"colour saturation -10", colour(0, -10, false)},
        {"colour saturation -3 portrait", colour(3, -3, true)},
        {"colour saturation -1 exposure -6", colour(-6, -1, false)},
        {"colour saturation +1", colour(0, 1, false)},
        {"colour saturation +3", colour(0, 3, false)},
        {"colour saturation +3 portrait exposure +2", colour(2, 3, true)},
        {"colour saturation +10", colour(0, 10, false)},
        {"colour saturation +10 portrait exposure -8", colour(-8, 10, true)},
        {"mono defaults", mono(0, 0, true, false)},
        {"mono low key", mono(0, 0, false, false)},
        {"mono black correction", mono(0, 0, true, true)},
        {"mono low key black correction exposure -8", mono(-8, 0, false, true)},
        {"mono exposure +8", mono(8, 0, true, false)},
        {"mono saturation +10", mono(0, 10, true, false)},
        {"mono saturation -10 black correction", mono(0, -10, true, true)},
        {"mono saturation -4 low key exposure -3", mono(-3, -4, false, false)},
        {"mono saturation +2 black correction exposure +5", mono(5, 2, false, true)},
        {"colour sharpness 0", colour(0, 0, false, 0)},
        {"colour sharpness 1", colour(-2, 4, false, 1)},
        {"colour sharpness 2", colour(0, -5, true, 2)},
        {"mono sharpness 3", mono(0, 0, true, false, 3)},
        {"mono sharpness 4", mono(1, 6, false, true, 4)},
        {"sharpness beyond the slider", colour(0, 0, false, -3)},
    };
    for (int film : {kFilmE100Vs, kFilmAstia}) {
        for (Family family : slideFamilies(film)) {
            family.name = (film == kFilmE100Vs ? "E100 VS " : "Astia ") + family.name;
            all.push_back(family);
        }
    }
    return all;
}

// Index and values of the first difference, for a readable failure.
std::string firstDifference(const std::vector<uint32_t>& expected,
                            const std::vector<uint32_t>& actual,
                            const std::vector<uint32_t>& source)
{
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] != actual[i]) {
            char text[160];
            std::snprintf(text, sizeof text, "pixel %zu of source %08X: reference %08X, fast %08X",
                          i, source[i], expected[i], actual[i]);
            return text;
        }
    }
    return "";
}

void expectSameBytes(const Image& source, const FilmSettings& settings)
{
    Image reference;
    Image fast;
    ASSERT_TRUE(runFilmStep(source, reference, settings, nullptr, 92, FilmEngine::Reference));
    ASSERT_TRUE(runFilmStep(source, fast, settings, nullptr, 92, FilmEngine::Fast));
    ASSERT_EQ(reference.width(), fast.width());
    ASSERT_EQ(reference.height(), fast.height());
    std::vector<uint32_t> expected = test::pixelsOf(reference);
    std::vector<uint32_t> actual = test::pixelsOf(fast);
    EXPECT_TRUE(expected == actual) << firstDifference(expected, actual, test::pixelsOf(source));
}

TEST(FilmFastPath, SameBytesAsReferenceForEverySettingFamily)
{
    // 1024 x 601: the edge values, the ramps, then about 600,000 random colours; the odd
    // height keeps the last chunk short.
    Image source = test::variedColourPicture(1024, 601);
    for (const Family& family : families()) {
        SCOPED_TRACE(family.name);
        expectSameBytes(source, family.settings);
    }
}

TEST(FilmFastPath, SameBytesOnPicturesSmallerThanAChunk)
{
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {1, 7}, {129, 3}}) {
        Image source = test::variedColourPicture(w, h, uint32_t(w * 31 + h));
        for (const Family& family : families()) {
            SCOPED_TRACE(std::string(family.name) + " at " + std::to_string(w) + "x" +
                         std::to_string(h));
            expectSameBytes(source, family.settings);
        }
    }
}

TEST(FilmFastPath, SameBytesOnPicturesWithRunsOfOneColour)
{
    // Runs from one pixel to longer than a block, as smooth photographs have them, between
    // stretches without any; the varied picture gives the colours.
    const Image colours = test::variedColourPicture(256, 64, 7);
    const std::vector<uint32_t> palette = test::pixelsOf(colours);
    Image source;
    ASSERT_TRUE(source.allocate(999, 211, 72.0f));
    uint32_t* out = source.pixels();
    uint32_t state = 12345;
    size_t next = 0;
    for (size_t i = 0; i < source.pixelCount();) {
        state = state * 1103515245u + 12345u;
        const size_t lengths[] = {1, 2, 3, 9, 40, 700, 1500};
        const size_t run = lengths[(state >> 16) % std::size(lengths)];
        for (size_t k = 0; k < run && i < source.pixelCount(); ++k, ++i)
            out[i] = palette[(next + (run == 1 ? k : 0)) % palette.size()];
        next += 1 + (state >> 24);
    }
    for (const Family& family : families()) {
        SCOPED_TRACE(family.name);
        expectSameBytes(source, family.settings);
    }
}

// Every colour, for the main colour and monochrome families. Long under the sanitizers, so
// it runs when TAVELUNE_ALL_COLOURS is set.
TEST(FilmFastPath, SameBytesForAllColours)
{
    if (!std::getenv("TAVELUNE_ALL_COLOURS"))
        GTEST_SKIP() << "set TAVELUNE_ALL_COLOURS=1 to run over all 16,777,216 colours";
    Image source = test::allColoursPicture();
    for (const Family& family : families()) {
        if (family.settings.sharpnessPosition != 5)
            continue;
        SCOPED_TRACE(family.name);
        expectSameBytes(source, family.settings);
    }
}

}  // namespace
}  // namespace tavelune
