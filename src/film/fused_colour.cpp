// The colour chain's hue bands around the shared stages.
#include "film/fused_colour.h"

#include <algorithm>

#include "film/colour_film.h"
#include "film/film_settings.h"
#include "film/fused_vector.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

constexpr unsigned kYellows = 1;
constexpr unsigned kGreens = 2;
constexpr unsigned kCyans = 4;

// The bands (of 45..75, 105..135, 165..195 degrees) that may hold the pixel's hue, judged from
// the ratio q of the channel differences without dividing. The bands' edges sit at q = 0.7417
// and 0.2583 (hues 44.5, 75.5, 104.5, 135.5, 164.5, 195.5); the tests keep a margin of 0.01,
// so a band they leave out can never be the one the exact computation finds.
constexpr bool bandsAre(int y0, int y1, int g0, int g1, int c0, int c1)
{
    return kColourBands[0].from == y0 && kColourBands[0].to == y1 && kColourBands[1].from == g0 &&
           kColourBands[1].to == g1 && kColourBands[2].from == c0 && kColourBands[2].to == c1;
}
static_assert(bandsAre(45, 75, 105, 135, 165, 195),
              "bandsThatMayHold is worked out for these bands");

inline unsigned bandsThatMayHold(int r, int g, int b)
{
    // Written without branches: which channel is largest changes from pixel to pixel.
    int max = std::max({r, g, b});
    int d = max - std::min({r, g, b});
    unsigned grey = d == 0;
    unsigned redMax = r == max;                // hue 60 q, or 360 + 60 q below 0
    unsigned greenMax = !redMax & (g == max);  // hue 60 (2 + q)
    unsigned blueMax = !redMax & !greenMax;    // hue 60 (4 + q)
    int margin73 = kVelviaBandOuterMargin * d;
    int margin27 = kVelviaBandInnerMargin * d;
    int greenQ = 100 * (b - r);
    unsigned yellows = (redMax & (100 * (g - b) >= margin73)) | (greenMax & (greenQ <= -margin73));
    unsigned greens = greenMax & (greenQ >= -margin27) & (greenQ <= margin27);
    unsigned cyans = (greenMax & (greenQ >= margin73)) | (blueMax & (100 * (g - r) >= margin73));
    return (yellows * kYellows | greens * kGreens | cyans * kCyans) & (grey - 1);
}

inline unsigned bandsThatMayHold(uint32_t p)
{
    return bandsThatMayHold(redOf(p), greenOf(p), blueOf(p));
}

}  // namespace

FusedColourCore::FusedColourCore(float gamma, bool portrait)
    : m_stages({128, 0.8, 128, 255}, gamma, colourFilmMix(portrait)),
      m_yellows(0, kBandSaturationBoost, 0, kColourBands[0].from, kColourBands[0].to),
      m_greens(0, kBandSaturationBoost, 0, kColourBands[1].from, kColourBands[1].to),
      m_cyans(0, kBandSaturationBoost, 0, kColourBands[2].from, kColourBands[2].to)
{
}

inline uint32_t FusedColourCore::adjustBands(uint32_t p, unsigned bands) const
{
    HsvColour hsv = pixelToHsv(p);
    auto step = [&](const HsvAdjustment& band, unsigned later) {
        if (!band.contains(hsv.hue))
            return;
        p = band.adjust(hsv, p);
        bands = bandsThatMayHold(p) & later;
        if (bands)
            hsv = pixelToHsv(p);
    };
    if (bands & kYellows)
        step(m_yellows, kGreens | kCyans);
    if (bands & kGreens)
        step(m_greens, kCyans);
    if (bands & kCyans)
        step(m_cyans, 0);
    return p;
}

uint32_t FusedColourCore::operator()(uint32_t pixel) const
{
    return m_stages.through(
        pixel, [](int r, int g, int b) { return bandsThatMayHold(r, g, b); },
        [this](uint32_t layered, unsigned bands) { return adjustBands(layered, bands); });
}

ColourCoreKernel FusedColourCore::kernel() const
{
    ColourCoreKernel k = m_stages.kernel();
    k.bandCount = 3;
    k.bands[0] = m_yellows.parts();
    k.bands[1] = m_greens.parts();
    k.bands[2] = m_cyans.parts();
    k.velviaBands = true;
    return k;
}

FusedColourFilm::FusedColourFilm(int exposure, int saturation, bool portrait)
    : FusedTwoPass(std::make_unique<FusedColourCore>(exposureGamma(exposure), portrait),
                   saturation > 0
                       ? std::make_unique<FusedColourCore>(kSaturationPassGamma, portrait)
                       : nullptr,
                   saturation)
{
}

}  // namespace tavelune
