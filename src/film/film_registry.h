// The films the program offers: one row per film, read by everything that names a film.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tavelune {

class FilmRecipe;

/// Which film options the film page shows: colour films offer the portrait mix, the
/// monochrome film its high-key and black-correction options in the same place.
struct FilmOptionsShown {
    bool portrait;
    bool highKey;
    bool blackCorrection;
};

struct FilmRow {
    int code;                  // FilmSettings::filmType and the film list's item data
    const char* cliName;       // tavelune-cli --film NAME
    const char* settingsName;  // "type = NAME" in the [film] section of a settings file
    int textId;                // the film list's text in the desktop program's string table
    const char* lutStem;       // the suggested LUT file name, without extension
    const char* lutTitle;      // the film in a LUT's title
    const FilmRecipe& (*recipe)();  // null while the film has no recipe
    FilmOptionsShown options;
};

/// Every film in list order; the first is the default.
std::span<const FilmRow> filmRows();

/// Null for a code, name or recipe the registry does not hold.
const FilmRow* findFilm(int code);
const FilmRow* findFilmByCliName(std::string_view name);
const FilmRow* findFilmBySettingsName(std::string_view name);
const FilmRecipe* filmRecipe(int code);

/// The options a film shows; an unknown code shows a colour film's.
FilmOptionsShown filmOptionsShown(int code);

/// "velvia, tmax, e100vs or astia": one name per row, for messages and help texts.
std::string filmNameList(const char* FilmRow::*name);

}  // namespace tavelune
