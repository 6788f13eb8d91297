// Parsing of the conversion options.
#include "cli/convert_options.h"

namespace tavelune::cli {
namespace {

int filmTypeFromName(const std::string& name)
{
    if (name == "velvia")
        return 1;
    if (name == "tmax")
        return 5;
    if (name == "e100vs")
        return 4;
    if (name == "astia")
        return 2;
    throw UsageError("--film must be velvia, tmax, e100vs or astia, not '" + name + "'");
}

void readSize(const std::string& option, const std::string& text, int& width, int& height)
{
    auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        throw UsageError(option + " must be WIDTHxHEIGHT, not '" + text + "'");
    width = parseInt(option, text.substr(0, x), 1, 65535);
    height = parseInt(option, text.substr(x + 1), 1, 65535);
}

}  // namespace

bool readConvertOption(ArgumentReader& reader, ConvertOptions& options)
{
    const std::string& name = reader.name();
    FilmSettings& film = options.film;
    if (name == "--no-film") {
        reader.noValue();
        film.enabled = false;
    } else if (name == "--film") {
        film.filmType = filmTypeFromName(reader.value());
    } else if (name == "--exposure") {
        film.exposure = reader.intValue(-8, 8);
    } else if (name == "--saturation") {
        film.saturation = reader.intValue(-10, 10);
    } else if (name == "--sharpness") {
        film.sharpnessPosition = reader.intValue(0, 5);
    } else if (name == "--portrait") {
        reader.noValue();
        film.portrait = true;
    } else if (name == "--no-high-key") {
        reader.noValue();
        film.highKey = false;
    } else if (name == "--black-correction") {
        reader.noValue();
        film.blackCorrection = true;
    } else if (name == "--quality") {
        options.quality = reader.intValue(1, 100);
    } else if (name == "--compression") {
        std::string value = reader.value();
        if (value == "none")
            options.compression = 1;
        else if (value == "lzw")
            options.compression = 5;
        else
            throw UsageError("--compression must be none or lzw, not '" + value + "'");
    } else if (name == "--fit") {
        options.fit = reader.intValue(1, 65535);
    } else if (name == "--resize") {
        readSize(name, reader.value(), options.resizeWidth, options.resizeHeight);
    } else if (name == "--dpi") {
        options.dpi = reader.doubleValue(1.0, 65535.0);
    } else if (name == "--rotate") {
        options.rotate = reader.intValue(-180, 180);
        if (options.rotate != 90 && options.rotate != -90 && options.rotate != 180)
            throw UsageError("--rotate must be 90, -90 or 180, not '" +
                             std::to_string(options.rotate) + "'");
    } else if (name == "--mirror") {
        reader.noValue();
        options.mirror = true;
    } else if (name == "--flip") {
        reader.noValue();
        options.flip = true;
    } else if (name == "--no-orient") {
        reader.noValue();
        options.orient = false;
    } else {
        return false;
    }
    return true;
}

const char* convertOptionsHelp()
{
    return "Film:\n"
           "  --no-film              copy the picture instead of simulating a film\n"
           "  --film NAME            velvia (default), tmax, e100vs or astia\n"
           "  --exposure N           exposure compensation in quarter stops, -8..8 (default 0)\n"
           "  --saturation N         colour saturation (mono: lightness), -10..10 (default 0)\n"
           "  --sharpness N          sharpness slider position 0..5 (default 5 = none,\n"
           "                         0 = strongest)\n"
           "  --portrait             gentler, warmer colours for skin tones (colour films)\n"
           "  --no-high-key          switch off high-key priority (T-Max)\n"
           "  --black-correction     counter a reddish cast of greys (T-Max)\n"
           "Geometry (applied after opening, before the film):\n"
           "  --fit N                reduce bilinearly so the longer side is at most N pixels\n"
           "  --no-orient            do not apply a JPEG's EXIF orientation\n"
           "  --resize WxH           resample to W x H pixels (bicubic)\n"
           "  --rotate 90|-90|180    turn clockwise (90) or counter-clockwise (-90)\n"
           "  --mirror               mirror left to right\n"
           "  --flip                 flip top to bottom\n"
           "  --dpi N                set the resolution in dots per inch\n"
           "Output:\n"
           "  --quality N            JPEG quality 1..100 (default 75)\n"
           "  --compression KIND     TIFF compression: lzw (default) or none\n";
}

}  // namespace tavelune::cli
