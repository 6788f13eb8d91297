// Chart colours, sRGB to CIELAB, and the measurements of a film's character.
#include "film_character.h"

#include <cmath>
#include <numbers>

#include "film/film_step.h"
#include "pixel/pixel.h"

namespace tavelune::test {

// The sRGB values published with the chart's reference measurements.
const ChartPatch kColourChecker[24] = {
    {"dark skin", 115, 82, 68},   {"light skin", 194, 150, 130},  {"blue sky", 98, 122, 157},
    {"foliage", 87, 108, 67},     {"blue flower", 133, 128, 177}, {"bluish green", 103, 189, 170},
    {"orange", 214, 126, 44},     {"purplish blue", 80, 91, 166}, {"moderate red", 193, 90, 99},
    {"purple", 94, 60, 108},      {"yellow green", 157, 188, 64}, {"orange yellow", 224, 163, 46},
    {"blue", 56, 61, 150},        {"green", 70, 148, 73},         {"red", 175, 54, 60},
    {"yellow", 231, 199, 31},     {"magenta", 187, 86, 149},      {"cyan", 8, 133, 161},
    {"white", 243, 243, 242},     {"neutral 8", 200, 200, 200},   {"neutral 6.5", 160, 160, 160},
    {"neutral 5", 122, 122, 121}, {"neutral 3.5", 85, 85, 85},    {"black", 52, 52, 52},
};

Image colourChartPicture(int patch)
{
    const int gap = std::max(1, patch / 8);
    Image image;
    image.setFillColour(0xFF000000u);
    image.create(6 * patch + 7 * gap, 4 * patch + 5 * gap, 72.0f);
    for (int i = 0; i < 24; ++i) {
        const ChartPatch& p = kColourChecker[i];
        int left = gap + (i % 6) * (patch + gap);
        int top = gap + (i / 6) * (patch + gap);
        for (int y = top; y < top + patch; ++y) {
            uint32_t* row = image.rowFromTop(y);
            for (int x = left; x < left + patch; ++x) row[x] = makePixel(255, p.r, p.g, p.b);
        }
    }
    return image;
}

namespace {

double linear(int v)
{
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labCurve(double t)
{
    constexpr double e = 216.0 / 24389.0;
    constexpr double k = 24389.0 / 27.0;
    return t > e ? std::cbrt(t) : (k * t + 16.0) / 116.0;
}

}  // namespace

Lab labOf(int r, int g, int b)
{
    double R = linear(r), G = linear(g), B = linear(b);
    double X = 0.4124564 * R + 0.3575761 * G + 0.1804375 * B;
    double Y = 0.2126729 * R + 0.7151522 * G + 0.0721750 * B;
    double Z = 0.0193339 * R + 0.1191920 * G + 0.9503041 * B;
    double fx = labCurve(X / 0.95047);
    double fy = labCurve(Y);
    double fz = labCurve(Z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double chromaOf(const Lab& lab)
{
    return std::hypot(lab.a, lab.b);
}

double hueOf(const Lab& lab)
{
    double h = std::atan2(lab.b, lab.a) * 180.0 / std::numbers::pi;
    return h < 0 ? h + 360.0 : h;
}

FilmCharacter measureFilm(const FilmSettings& settings)
{
    Image source;
    source.create(24, 1, 72.0f);
    for (int i = 0; i < 24; ++i) {
        const ChartPatch& p = kColourChecker[i];
        source.rowFromTop(0)[i] = makePixel(255, p.r, p.g, p.b);
    }
    Image result;
    FilmCharacter c{};
    if (!runFilmStep(source, result, settings, nullptr, 92, FilmEngine::Reference))
        return c;
    Lab in[24];
    Lab out[24];
    for (int i = 0; i < 24; ++i) {
        const ChartPatch& p = kColourChecker[i];
        uint32_t q = result.rowFromTop(0)[i];
        in[i] = labOf(p.r, p.g, p.b);
        out[i] = labOf(redOf(q), greenOf(q), blueOf(q));
    }
    double chromaIn = 0, chromaOut = 0;
    for (int i = 0; i < kFirstNeutral; ++i) {
        chromaIn += chromaOf(in[i]);
        chromaOut += chromaOf(out[i]);
    }
    c.chromaGain = chromaOut / chromaIn;
    double meanIn = 0, meanOut = 0;
    for (int i = kFirstNeutral; i < 24; ++i) {
        meanIn += in[i].L / 6;
        meanOut += out[i].L / 6;
    }
    double covariance = 0, variance = 0;
    for (int i = kFirstNeutral; i < 24; ++i) {
        covariance += (in[i].L - meanIn) * (out[i].L - meanOut);
        variance += (in[i].L - meanIn) * (in[i].L - meanIn);
    }
    c.contrast = covariance / variance;
    for (int k : {kDarkSkin, kLightSkin}) {
        double shift = hueOf(out[k]) - hueOf(in[k]);
        c.skinHueShift[k] = shift > 180 ? shift - 360 : shift < -180 ? shift + 360 : shift;
    }
    for (int i = 0; i < 6; ++i) {
        c.neutralA[i] = out[kFirstNeutral + i].a;
        c.neutralB[i] = out[kFirstNeutral + i].b;
    }
    return c;
}

std::string filmLabel(int filmType)
{
    switch (filmType) {
        case kFilmVelvia:
            return "Velvia";
        case kFilmE100Vs:
            return "E100 VS";
        case kFilmAstia:
            return "Astia";
        case kFilmTmax:
            return "T-Max 100";
        default:
            return "film " + std::to_string(filmType);
    }
}

}  // namespace tavelune::test
