// The film table: names that readers look films up by are unique, and every film renders.
#include "film/film_registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "film/film_recipe.h"
#include "film/film_settings.h"
#include "film/slide_recipe.h"

namespace tavelune {
namespace {

TEST(FilmRegistry, EveryNameAndCodeFindsOneFilm)
{
    std::set<int> codes;
    std::set<std::string> cliNames, settingsNames, stems;
    for (const FilmRow& row : filmRows()) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.code;
        EXPECT_TRUE(cliNames.insert(row.cliName).second) << row.cliName;
        EXPECT_TRUE(settingsNames.insert(row.settingsName).second) << row.settingsName;
        EXPECT_TRUE(stems.insert(row.lutStem).second) << row.lutStem;
        EXPECT_EQ(findFilm(row.code), &row);
        EXPECT_EQ(findFilmByCliName(row.cliName), &row);
        EXPECT_EQ(findFilmBySettingsName(row.settingsName), &row);
        ASSERT_NE(row.recipe, nullptr) << row.cliName;
        EXPECT_EQ(filmRecipe(row.code), &row.recipe());
        // Options the page shows are exactly the ones the row names.
        const FilmOptionsShown shown = filmOptionsShown(row.code);
        EXPECT_EQ(shown.portrait, row.options.portrait);
        EXPECT_EQ(shown.highKey, row.options.highKey);
        EXPECT_EQ(shown.blackCorrection, row.options.blackCorrection);
    }
    EXPECT_EQ(filmRows().front().code, FilmSettings{}.filmType) << "the first film is the default";
    for (int unknown : {0, 3, 6, -1}) {
        EXPECT_EQ(findFilm(unknown), nullptr);
        EXPECT_EQ(filmRecipe(unknown), nullptr);
        EXPECT_TRUE(filmOptionsShown(unknown).portrait);
    }
    EXPECT_EQ(findFilmByCliName("Velvia"), nullptr);
    EXPECT_EQ(findFilmBySettingsName(""), nullptr);
}

TEST(FilmRegistry, NameListsJoinTheRowsInOrder)
{
    EXPECT_EQ(filmNameList(&FilmRow::cliName), "velvia, tmax, e100vs or astia");
    EXPECT_EQ(filmNameList(&FilmRow::lutTitle), "Velvia, T-Max 100, E100 VS or Astia");
}

TEST(FilmRegistry, OnlyTheSlideFilmsCarrySlideConstants)
{
    EXPECT_EQ(velviaRecipe().slideRecipe(), nullptr);
    EXPECT_EQ(tmaxRecipe().slideRecipe(), nullptr);
    EXPECT_NE(e100VsRecipe().slideRecipe(), nullptr);
    EXPECT_NE(astiaRecipe().slideRecipe(), e100VsRecipe().slideRecipe());
    EXPECT_EQ(slideRecipeFor(kFilmAstia), astiaRecipe().slideRecipe());
    EXPECT_EQ(slideRecipeFor(kFilmVelvia), nullptr);
}

}  // namespace
}  // namespace tavelune
