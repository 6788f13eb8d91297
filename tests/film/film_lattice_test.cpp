// The lattice a LUT is written from: exact on 8-bit values, between its neighbours elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/image.h"
#include "film/film_lut.h"
#include "film/film_step.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

std::vector<FilmSettings> settingsFamilies()
{
    std::vector<FilmSettings> all;
    for (int film : {kFilmVelvia, kFilmE100Vs, kFilmAstia, kFilmTmax}) {
        FilmSettings s;
        s.filmType = film;
        all.push_back(s);
        s.exposure = 3;
        s.saturation = -4;
        s.portrait = true;
        s.highKey = false;
        s.blackCorrection = true;
        all.push_back(s);
    }
    return all;
}

// The reference chain's output for each colour, one pixel each.
std::vector<uint32_t> filmed(const std::vector<uint32_t>& colours, const FilmSettings& settings)
{
    Image source;
    source.create(int(colours.size()), 1, 72.0f, colours.data());
    Image result;
    EXPECT_TRUE(runFilmStep(source, result, settings, nullptr, 92, FilmEngine::Reference));
    return std::vector<uint32_t>(result.pixels(), result.pixels() + result.pixelCount());
}

float channel(const FilmLattice& lattice, int r, int g, int b, int c)
{
    return lattice.rgb[((size_t(b) * lattice.size + g) * lattice.size + r) * 3 + size_t(c)];
}

TEST(FilmLattice, PointsOnEightBitValuesHoldTheFilmsOutputAndNoSharpening)
{
    // 18 points: every lattice point falls on a multiple of 15.
    for (FilmSettings settings : settingsFamilies()) {
        settings.sharpnessPosition = 0;
        FilmLattice lattice;
        ASSERT_TRUE(sampleFilmLattice(settings, 18, lattice));
        std::vector<uint32_t> colours;
        for (int b = 0; b < 18; ++b)
            for (int g = 0; g < 18; ++g)
                for (int r = 0; r < 18; ++r)
                    colours.push_back(makePixel(255, 15 * r, 15 * g, 15 * b));
        settings.sharpnessPosition = 5;
        std::vector<uint32_t> expected = filmed(colours, settings);
        for (size_t i = 0; i < colours.size(); ++i) {
            const float* v = &lattice.rgb[i * 3];
            ASSERT_EQ(v[0], float(redOf(expected[i]) / 255.0)) << settings.filmType << " " << i;
            ASSERT_EQ(v[1], float(greenOf(expected[i]) / 255.0)) << i;
            ASSERT_EQ(v[2], float(blueOf(expected[i]) / 255.0)) << i;
        }
    }
}

TEST(FilmLattice, PointsBetweenEightBitValuesLieAmongTheirNeighbours)
{
    const int size = 33;
    for (const FilmSettings& settings : settingsFamilies()) {
        FilmLattice lattice;
        ASSERT_TRUE(sampleFilmLattice(settings, size, lattice));
        ASSERT_EQ(lattice.rgb.size(), size_t(size * size * size * 3));
        for (int i : {0, 7, 16, 32}) {
            int low = i * 255 / (size - 1);
            int high = std::min(low + 1, 255);
            for (int j : {3, 20, 31}) {
                int lowJ = j * 255 / (size - 1);
                std::vector<uint32_t> around;
                for (int r : {low, high})
                    for (int g : {lowJ, lowJ + 1})
                        for (int b : {low, high}) around.push_back(makePixel(255, r, g, b));
                std::vector<uint32_t> out = filmed(around, settings);
                for (int c = 0; c < 3; ++c) {
                    int lo = 255, hi = 0;
                    for (uint32_t p : out) {
                        lo = std::min(lo, channelOf(p, 2 - c));
                        hi = std::max(hi, channelOf(p, 2 - c));
                    }
                    float v = channel(lattice, i, j, i, c) * 255.0f;
                    EXPECT_GE(v, lo - 1e-3f)
                        << settings.filmType << " " << i << " " << j << " " << c;
                    EXPECT_LE(v, hi + 1e-3f)
                        << settings.filmType << " " << i << " " << j << " " << c;
                }
            }
        }
    }
}

TEST(FilmLattice, RefusesSizesAndFilmsItCannotSample)
{
    FilmLattice lattice;
    EXPECT_FALSE(sampleFilmLattice(FilmSettings{}, 1, lattice));
    EXPECT_FALSE(sampleFilmLattice(FilmSettings{}, 257, lattice));
    FilmSettings unknown;
    unknown.filmType = 3;
    EXPECT_FALSE(sampleFilmLattice(unknown, 2, lattice));
    FilmSettings off;
    off.enabled = false;
    ASSERT_TRUE(sampleFilmLattice(off, 2, lattice));
    EXPECT_EQ(lattice.rgb, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0,
                                               0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1}));
}

}  // namespace
}  // namespace tavelune
