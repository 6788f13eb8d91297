// Film page rules: the list order with its codes and the options each film offers.
#include "film/film_page_rules.h"

#include <gtest/gtest.h>

namespace tavelune {
namespace {

TEST(FilmPageRules, EachFilmSitsInItsPlaceAndOffersItsOptions)
{
    struct Case {
        int filmType;
        int listIndex;
        FilmOptionsShown shown;
    };
    const Case cases[] = {
        {kFilmVelvia, 0, {true, false, false}},
        {kFilmTmax, 1, {false, true, true}},
        {kFilmE100Vs, 2, {true, false, false}},
        {kFilmAstia, 3, {true, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(filmListIndex(c.filmType), c.listIndex) << c.filmType;
        EXPECT_EQ(filmRows()[size_t(c.listIndex)].code, c.filmType);
        const FilmOptionsShown shown = filmOptionsShown(c.filmType);
        EXPECT_EQ(shown.portrait, c.shown.portrait) << c.filmType;
        EXPECT_EQ(shown.highKey, c.shown.highKey) << c.filmType;
        EXPECT_EQ(shown.blackCorrection, c.shown.blackCorrection) << c.filmType;
    }
    for (int unknown : {0, 3, 6, -1}) EXPECT_EQ(filmListIndex(unknown), -1) << unknown;
}

TEST(FilmPageRules, DefaultSettingsLieWithinTheControls)
{
    // A page opened on the default settings must show them without clamping any slider.
    const FilmSettings defaults;
    EXPECT_EQ(filmListIndex(defaults.filmType), 0);
    EXPECT_GE(defaults.exposure, kExposureRange.minimum);
    EXPECT_LE(defaults.exposure, kExposureRange.maximum);
    EXPECT_GE(defaults.sharpnessPosition, kSharpnessRange.minimum);
    EXPECT_LE(defaults.sharpnessPosition, kSharpnessRange.maximum);
    EXPECT_GE(defaults.saturation, kSaturationRange.minimum);
    EXPECT_LE(defaults.saturation, kSaturationRange.maximum);
}

}  // namespace
}  // namespace tavelune
