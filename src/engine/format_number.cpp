// formatNumber: printf fixed notation without the zeros a reader does not need.
#include "engine/format_number.h"

#include <cstdio>
#include <vector>

namespace tavelune {

std::string formatNumber(double value, int decimals, bool showPlus)
{
    // Huge values print hundreds of digits, so size the buffer from a first pass.
    char small[64];
    int length = decimals < 0 ? std::snprintf(small, sizeof small, "%f", value)
                              : std::snprintf(small, sizeof small, "%.*f", decimals, value);
    if (length < 0)
        return {};
    std::string text;
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        std::vector<char> big(static_cast<size_t>(length) + 1);
        if (decimals < 0)
            std::snprintf(big.data(), big.size(), "%f", value);
        else
            std::snprintf(big.data(), big.size(), "%.*f", decimals, value);
        text.assign(big.data(), static_cast<size_t>(length));
    }
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    if (showPlus && value > 0)
        text.insert(text.begin(), '+');
    return text;
}

}  // namespace tavelune
