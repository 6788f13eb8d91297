// Number-to-text rule shared by every display of a measured value.
#pragma once

#include <string>

namespace tavelune {

/// Fixed notation with `decimals` digits ("%f" when negative), trailing zeros and then a
/// trailing point removed; with showPlus a positive value gets a leading "+".
std::string formatNumber(double value, int decimals, bool showPlus = false);

}  // namespace tavelune
