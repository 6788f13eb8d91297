// The unit conversion factors.
#include "pixel/units.h"

#include <cmath>
#include <limits>

namespace tavelune {
namespace {

bool isUnit(int unit)
{
    return unit >= kUnitPixel && unit <= kUnitPica;
}

// Factor from a physical unit to the same length in another; pixels are handled apart.
double lengthFactor(int from, int to)
{
    static constexpr double kFactors[5][5] = {
        // inch, cm, mm, point, pica
        {1, 2.54, 25.4, 72, 6},
        {0.39370078740157477, 1, 10, 28.346456692913385, 2.3622047244094486},
        {0.03937007874015748, 0.1, 1, 2.8346456692913384, 0.23622047244094488},
        {0.013888888888888888, 0.035277777777777776, 0.35277777777777775, 1, 0.08333333333333333},
        {0.16666666666666666, 0.42333333333333334, 4.2333333333333325, 12, 1},
    };
    return kFactors[from - 1][to - 1];
}

// Pixels per unit at dpi.
double pixelFactor(int unit, double dpi)
{
    switch (unit) {
        case kUnitInch:
            return dpi;
        case kUnitCentimetre:
            return dpi * 0.39370078740157477;
        case kUnitMillimetre:
            return dpi * 0.03937007874015748;
        case kUnitPoint:
            return dpi * 0.013888888888888888;
        case kUnitPica:
            return dpi * 0.16666666666666666;
        default:
            return 1;
    }
}

// Units per pixel at dpi.
double perPixelFactor(int unit, double dpi)
{
    switch (unit) {
        case kUnitInch:
            return 1 / dpi;
        case kUnitCentimetre:
            return 2.54 / dpi;
        case kUnitMillimetre:
            return 25.4 / dpi;
        case kUnitPoint:
            return 72 / dpi;
        case kUnitPica:
            return 6 / dpi;
        default:
            return 1;
    }
}

}  // namespace

double roundTo(double x, int decimals)
{
    double scale = std::pow(10.0, decimals);
    return std::floor(x * scale + 0.5) / scale;
}

double convertUnit(int toUnit, int fromUnit, double value, int decimals, double dpi)
{
    double factor = 1;
    if (isUnit(toUnit) && isUnit(fromUnit) && toUnit != fromUnit) {
        if (fromUnit == kUnitPixel)
            factor = perPixelFactor(toUnit, dpi);
        else if (toUnit == kUnitPixel)
            factor = pixelFactor(fromUnit, dpi);
        else
            factor = lengthFactor(fromUnit, toUnit);
    }
    return roundTo(value * factor, decimals);
}

int toPixelsCeil(double value, int unit, double dpi)
{
    double pixels = std::ceil(isUnit(unit) ? value * pixelFactor(unit, dpi) : value);
    // Converting an out-of-range double to int is undefined; a NaN counts as 0.
    if (!(pixels > std::numeric_limits<int>::min()))
        return pixels != pixels ? 0 : std::numeric_limits<int>::min();
    if (pixels >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(pixels);
}

}  // namespace tavelune
