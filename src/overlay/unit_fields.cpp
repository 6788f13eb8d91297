// Number fields of the overlay pages, in the units of the measurement routines.
#include "overlay/unit_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "pixel/units.h"

namespace tavelune {

bool acceptsFieldText(std::string_view text, bool allowMinus)
{
    if (text.size() > 10)
        return false;
    size_t i = 0;
    if (allowMinus && i < text.size() && text[i] == '-')
        ++i;
    bool point = false;
    int decimals = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            if (point && ++decimals > 3)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

double fieldValue(std::string_view text)
{
    std::string copy(text);
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() ? 0.0 : value;
}

std::string formatFieldValue(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string text(buffer);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (text == "-0" || text.empty())
        return std::string(1, '0');
    return text;
}

double convertFieldValue(double value, int fromUnit, int toUnit, double dpi)
{
    return convertUnit(toUnit, fromUnit, value, toUnit == kUnitPixel ? 0 : 3, dpi);
}

int fieldPixels(double value, int unit, double dpi)
{
    // Far beyond any picture, and small enough that positions computed from it cannot overflow.
    constexpr int kLimit = 1 << 28;
    return std::clamp(toPixelsCeil(value, unit, dpi), -kLimit, kLimit);
}

}  // namespace tavelune
