// Looking films up in the film table.
#include "film/film_registry.h"


namespace tavelune {
namespace {

template <typename Matches>
const FilmRow* findRow(Matches matches)
{
    for (const FilmRow& row : filmRows())
        if (matches(row))
            return &row;
    return nullptr;
}

}  // namespace

const FilmRow* findFilm(int code)
{
    return findRow([code](const FilmRow& row) { return row.code == code; });
}

const FilmRow* findFilmByCliName(std::string_view name)
{
    return findRow([name](const FilmRow& row) { return name == row.cliName; });
}

const FilmRow* findFilmBySettingsName(std::string_view name)
{
    return findRow([name](const FilmRow& row) { return name == row.settingsName; });
}

const FilmRecipe* filmRecipe(int code)
{
    const FilmRow* row = findFilm(code);
    return row && row->recipe ? &row->recipe() : nullptr;
}

FilmOptionsShown filmOptionsShown(int code)
{
    const FilmRow* row = findFilm(code);
    return row ? row->options : FilmOptionsShown{true, false, false};
}

std::string filmNameList(const char* FilmRow::*name)
{
    const std::span<const FilmRow> rows = filmRows();
    std::string list;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            list += i + 1 == rows.size() ? " or " : ", ";
        list += rows[i].*name;
    }
    return list;
}

}  // namespace tavelune
