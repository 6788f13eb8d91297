// The number fields shared by the overlay and border pages: units, validation, unit changes.
#pragma once

#include <string>
#include <string_view>

namespace tavelune {

// The pages' unit lists hold the measurement units 0 (pixels) to 3 (millimetres) of film/units.h.

/// Whether a field accepts the text: at most 10 characters, digits with at most one point and
/// at most 3 decimals, and a leading minus only when allowed.
bool acceptsFieldText(std::string_view text, bool allowMinus);

/// The number a field's text stands for (0 for an empty or unreadable text).
double fieldValue(std::string_view text);

/// "%.3f" with trailing zeros and then a trailing point removed; never "-0".
std::string formatFieldValue(double value);

/// A field's value after its unit list changes: converted at dpi (the current picture's, 72
/// without one), rounded half up to 3 decimals, or to a whole number for pixels.
double convertFieldValue(double value, int fromUnit, int toUnit, double dpi);

/// The pixels a field's value gives at the picture's dpi (ceiling).
int fieldPixels(double value, int unit, double dpi);

/// An opacity field losing the focus: larger values are lowered to 100.
inline int opacityAfterEdit(int value) { return value > 100 ? 100 : value; }

}  // namespace tavelune
