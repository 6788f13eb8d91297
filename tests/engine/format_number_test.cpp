// formatNumber: the trimming and sign rules on the values the displays feed it.
#include "engine/format_number.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavelune {
namespace {

TEST(FormatNumber, TrimsZerosAndPointAndAddsPlus)
{
    struct Case {
        double value;
        int decimals;
        bool plus;
        const char* expected;
    };
    const Case cases[] = {
        {2.50, 2, false, "2.5"},
        {72.0, 3, false, "72"},
        {1.0 / 3.0, -1, false, "0.333333"},
        {0.7, 2, true, "+0.7"},
        {1.0, 0, true, "+1"},
        {0.0, 3, true, "0"},           // zero gets no sign
        {-1.3, 2, true, "-1.3"},       // negatives keep their own sign
        {100.0, 0, false, "100"},      // no point: the zeros of an integer stay
        {5.656854, 2, false, "5.66"},  // rounding by printf
        {0.0004, 3, false, "0"},
        {-0.0004, 3, false, "-0"},  // printf keeps the sign of a negative that rounds to 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatNumber(c.value, c.decimals, c.plus), c.expected)
            << c.value << " decimals " << c.decimals;
}

TEST(FormatNumber, PrintsHugeValuesInFull)
{
    std::string text = formatNumber(1e300, 2);
    EXPECT_EQ(text.size(), 301u);
    EXPECT_EQ(text.substr(0, 1), "1");
    EXPECT_EQ(formatNumber(std::nan(""), 2), "nan");
}

}  // namespace
}  // namespace tavelune
