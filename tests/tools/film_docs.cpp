// Prints the films' character table and draws the pictures of docs/films.md.
// Usage: film_docs [OUTPUT_FOLDER]; without a folder only the table is printed.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/png_writer.h"
#include "engine/fit_within.h"
#include "engine/format_dispatch.h"
#include "film/film_character.h"
#include "film/film_step.h"

using namespace tavelune;

namespace {

constexpr int kFilms[] = {kFilmVelvia, kFilmE100Vs, kFilmAstia, kFilmTmax};

void printTable()
{
    std::printf(
        "| film | chroma gain | contrast | skin hue shift (dark, light) | neutrals a* | "
        "neutrals b* |\n|---|---|---|---|---|---|\n");
    for (int type : kFilms) {
        FilmSettings s;
        s.filmType = type;
        test::FilmCharacter c = test::measureFilm(s);
        auto range = [](const double* v) {
            double lo = v[0], hi = v[0];
            for (int i = 1; i < 6; ++i) {
                lo = std::min(lo, v[i]);
                hi = std::max(hi, v[i]);
            }
            char text[48];
            std::snprintf(text, sizeof text, "%+.1f .. %+.1f", lo, hi);
            return std::string(text);
        };
        char skin[48] = "none (grey)";
        if (c.chromaGain > 0.01)
            std::snprintf(skin, sizeof skin, "%+.1f°, %+.1f°", c.skinHueShift[0],
                          c.skinHueShift[1]);
        std::printf("| %s | %.2f | %.2f | %s | %s | %s |\n", test::filmLabel(type).c_str(),
                    c.chromaGain, c.contrast, skin, range(c.neutralA).c_str(),
                    range(c.neutralB).c_str());
    }
}

// The original and each film side by side, with a white gap.
Image strip(const Image& original)
{
    const int gap = 4;
    const int w = original.width();
    Image out;
    out.setFillColour(0xFFFFFFFFu);
    out.create(5 * w + 4 * gap, original.height(), 72.0f);
    for (int k = 0; k < 5; ++k) {
        Image filmed;
        if (k == 0) {
            filmed.create(w, original.height(), 72.0f, original.pixels());
        } else {
            FilmSettings s;
            s.filmType = kFilms[k - 1];
            runFilmStep(original, filmed, s, nullptr, 92);
        }
        for (int y = 0; y < original.height(); ++y) {
            const uint32_t* in = filmed.rowFromTop(y);
            uint32_t* row = out.rowFromTop(y) + k * (w + gap);
            for (int x = 0; x < w; ++x) row[x] = in[x];
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    printTable();
    if (argc < 2)
        return 0;
    const std::string folder = argv[1];
    bool ok = cli::writePngFile(folder + "/films-chart.png", strip(test::colourChartPicture(20)));
    Image photo;
    ok = ok && openImage(std::string(TAVELUNE_SAMPLES_DIR) + "/coffee.jpg", photo);
    ok = ok && fitWithin(photo, 140);
    ok = ok && cli::writePngFile(folder + "/films-photo.png", strip(photo));
    return ok ? 0 : 1;
}
