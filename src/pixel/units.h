// Measurement units and conversions between them at a resolution.
#pragma once

namespace tavelune {

enum MeasureUnit : int {
    kUnitPixel = 0,
    kUnitInch = 1,
    kUnitCentimetre = 2,
    kUnitMillimetre = 3,
    kUnitPoint = 4,  // 1/72 inch
    kUnitPica = 5,   // 1/6 inch
};

/// floor(x * 10^decimals + 0.5) / 10^decimals.
double roundTo(double x, int decimals);

/// value in fromUnit expressed in toUnit at dpi, rounded to decimals. An unknown unit code
/// leaves the value unconverted (still rounded).
double convertUnit(int toUnit, int fromUnit, double value, int decimals, double dpi);

/// Whole pixels covering value in unit at dpi (rounded up); an unknown unit counts as pixels.
/// Results beyond the int range are clamped to it.
int toPixelsCeil(double value, int unit, double dpi);

}  // namespace tavelune
