// Each colour film held to its character, measured on the colour checker in CIELAB.
#include "film_character.h"

#include <gtest/gtest.h>

#include <cmath>

#include "film/film_step.h"

namespace tavelune {
namespace {

test::FilmCharacter measured(int film)
{
    FilmSettings s;
    s.filmType = film;
    return test::measureFilm(s);
}

double meanAbsoluteSkinShift(const test::FilmCharacter& c)
{
    return (std::abs(c.skinHueShift[0]) + std::abs(c.skinHueShift[1])) / 2;
}

TEST(FilmCharacter, TheMeasureKnowsCielabAndAnUntouchedChart)
{
    test::Lab white = test::labOf(255, 255, 255);
    EXPECT_NEAR(white.L, 100.0, 0.01);
    EXPECT_NEAR(test::chromaOf(white), 0.0, 0.01);
    test::Lab red = test::labOf(255, 0, 0);
    EXPECT_NEAR(red.L, 53.24, 0.02);
    EXPECT_NEAR(red.a, 80.09, 0.02);
    EXPECT_NEAR(red.b, 67.20, 0.02);
    EXPECT_NEAR(test::hueOf(test::labOf(0, 0, 255)), 306.3, 0.1);

    FilmSettings off;
    off.enabled = false;
    test::FilmCharacter c = test::measureFilm(off);
    EXPECT_DOUBLE_EQ(c.chromaGain, 1.0);
    EXPECT_DOUBLE_EQ(c.contrast, 1.0);
    EXPECT_DOUBLE_EQ(c.skinHueShift[0], 0.0);
    EXPECT_DOUBLE_EQ(c.skinHueShift[1], 0.0);
}

TEST(FilmCharacter, AstiaIsSofterThanTheVividFilms)
{
    test::FilmCharacter astia = measured(kFilmAstia);
    for (int vivid : {kFilmVelvia, kFilmE100Vs}) {
        test::FilmCharacter other = measured(vivid);
        EXPECT_LT(astia.chromaGain, other.chromaGain) << vivid;
        EXPECT_LT(astia.contrast, other.contrast) << vivid;
    }
    EXPECT_GT(astia.chromaGain, 1.0);  // restrained, yet still a slide film
}

TEST(FilmCharacter, AstiaKeepsSkinHuesAndNeutralGreys)
{
    test::FilmCharacter astia = measured(kFilmAstia);
    EXPECT_LE(std::abs(astia.skinHueShift[0]), 3.0);
    EXPECT_LE(std::abs(astia.skinHueShift[1]), 3.0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_LE(std::abs(astia.neutralA[i]), 3.0) << i;
        EXPECT_LE(std::abs(astia.neutralB[i]), 3.0) << i;
    }
}

TEST(FilmCharacter, E100VsIsAsVividAsVelviaWithTruerSkinAndWarmer)
{
    test::FilmCharacter e100 = measured(kFilmE100Vs);
    test::FilmCharacter velvia = measured(kFilmVelvia);
    EXPECT_LE(std::abs(e100.chromaGain - velvia.chromaGain), 0.15 * velvia.chromaGain);
    EXPECT_LT(meanAbsoluteSkinShift(e100), meanAbsoluteSkinShift(velvia));
    double warmth = 0;
    for (int i = 0; i < 6; ++i) warmth += e100.neutralB[i] - velvia.neutralB[i];
    EXPECT_GT(warmth / 6, 0.5);
}

}  // namespace
}  // namespace tavelune
