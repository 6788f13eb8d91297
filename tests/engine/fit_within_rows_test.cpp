// The row-by-row reduction against fitWithin on the whole picture: the same pixels.
#include "engine/fit_within_rows.h"

#include <gtest/gtest.h>

#include "engine/codec_test_util.h"
#include "engine/fit_within.h"

namespace tavelune {
namespace {

TEST(FitWithinRows, SamePictureAsFitWithinForEveryShape)
{
    struct Size {
        int width, height;
    };
    const Size sizes[] = {{1, 1},     {1, 500},  {500, 1},   {640, 480}, {161, 120},
                          {160, 120}, {4000, 3}, {17, 1000}, {333, 333}, {1000, 999}};
    for (const Size& size : sizes) {
        const Image source = test::patternPicture(size.width, size.height, true, 240.0f);
        for (int maxSide : {1, 7, 120, 160, 10000}) {
            Image expected = source;
            ASSERT_TRUE(fitWithin(expected, maxSide));
            FitWithinRows reduction;
            ASSERT_TRUE(reduction.start(size.width, size.height, maxSide));
            for (int y = 0; y < size.height; ++y)
                ASSERT_TRUE(reduction.takeRow(y, source.rowFromTop(y)));
            Image reduced;
            ASSERT_TRUE(reduction.finish(reduced, source.dpi()));
            const std::string label = std::to_string(size.width) + "x" +
                                      std::to_string(size.height) + " within " +
                                      std::to_string(maxSide);
            EXPECT_TRUE(test::samePixels(reduced, expected)) << label;
            EXPECT_EQ(reduced.dpi(), expected.dpi()) << label;
        }
    }
}

TEST(FitWithinRows, RowsOutOfOrderOrMissingAreRefused)
{
    const Image source = test::patternPicture(50, 40, false);
    FitWithinRows reduction;
    EXPECT_FALSE(reduction.start(50, 40, 0));
    ASSERT_TRUE(reduction.start(50, 40, 10));
    EXPECT_FALSE(reduction.takeRow(1, source.rowFromTop(1)));
    ASSERT_TRUE(reduction.takeRow(0, source.rowFromTop(0)));
    Image out;
    EXPECT_FALSE(reduction.finish(out, 72.0f));
}

}  // namespace
}  // namespace tavelune
