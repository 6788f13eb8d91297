// fitRectangle: every mode, with even and odd free space and overflow.
#include <gtest/gtest.h>

#include "indexprint/fit_rectangle.h"

namespace tavelune {
namespace {

struct FitCase {
    const char* what;
    Rect frame;
    int pictureWidth, pictureHeight, mode;
    Rect expected;
};

const FitCase kCases[] = {
    // Fit inside: a portrait picture in a 3:2 cell is letterboxed left and right;
    // 69 - 31 = 38 free, 19 on each side.
    {"inside, portrait in landscape", {10, 20, 79, 66}, 2000, 3000, kFitInside, {29, 20, 60, 66}},
    // An odd free space puts the extra pixel before the picture.
    {"inside, odd free space", {0, 0, 10, 10}, 4, 3, kFitInside, {0, 1, 10, 9}},
    {"inside, landscape fits width", {0, 0, 69, 46}, 3000, 1000, kFitInside, {0, 12, 69, 35}},
    {"inside, same aspect", {5, 5, 74, 51}, 300, 200, kFitInside, {5, 5, 74, 51}},
    // Fill: the picture covers the cell; an odd overflow cuts one pixel more at the bottom.
    {"fill, portrait overflows down", {10, 20, 79, 66}, 2000, 3000, kFitFill, {10, -8, 79, 96}},
    {"fill, odd overflow", {0, 0, 10, 10}, 10, 13, kFitFill, {0, -1, 10, 12}},
    // The offset (s + 1) / 2 truncates toward zero: an even overflow of 4 cuts 1 and 3.
    {"fill, even overflow", {0, 0, 10, 10}, 10, 14, kFitFill, {0, -1, 10, 13}},
    {"fill, wide overflows sideways", {0, 0, 69, 46}, 3000, 1000, kFitFill, {-34, 0, 104, 46}},
    {"fill, odd sideways overflow", {0, 0, 10, 10}, 13, 10, kFitFill, {-1, 0, 12, 10}},
    // Fit one axis, the other overflows or is letterboxed.
    {"width", {0, 0, 10, 10}, 10, 13, kFitWidth, {0, -1, 10, 12}},
    {"width, short picture", {0, 0, 10, 10}, 10, 5, kFitWidth, {0, 3, 10, 8}},
    {"height", {0, 0, 10, 10}, 13, 10, kFitHeight, {-1, 0, 12, 10}},
    {"height, narrow picture", {0, 0, 10, 10}, 5, 10, kFitHeight, {3, 0, 8, 10}},
    // Rounding is half up: 3 x 5 / 2 = 7.5 -> 8.
    {"inside, half rounds up", {0, 0, 5, 100}, 2, 3, kFitInside, {0, 46, 5, 54}},
    {"stretch", {3, 4, 13, 24}, 7, 1, 4, {3, 4, 13, 24}},
    {"negative mode stretches", {3, 4, 13, 24}, 7, 1, -1, {3, 4, 13, 24}},
    {"no picture", {3, 4, 13, 24}, 0, 10, kFitInside, {3, 4, 13, 24}},
};

TEST(FitRectangle, PlacesPicturesByMode)
{
    for (const FitCase& c : kCases) {
        Rect r = fitRectangle(c.frame, c.pictureWidth, c.pictureHeight, c.mode);
        EXPECT_EQ(r, c.expected) << c.what << ": got " << r.left << "," << r.top << " " << r.right
                                 << "," << r.bottom;
    }
}

TEST(FitRectangle, FillAlwaysCoversAndInsideNeverSpills)
{
    const Rect frame{7, 9, 7 + 69, 9 + 46};
    for (int w = 1; w <= 60; w += 7) {
        for (int h = 1; h <= 60; h += 5) {
            Rect fill = fitRectangle(frame, w, h, kFitFill);
            EXPECT_LE(fill.left, frame.left);
            EXPECT_LE(fill.top, frame.top);
            EXPECT_GE(fill.right, frame.right);
            EXPECT_GE(fill.bottom, frame.bottom);
            EXPECT_TRUE(fill.width() == frame.width() || fill.height() == frame.height());
            Rect inside = fitRectangle(frame, w, h, kFitInside);
            EXPECT_GE(inside.left, frame.left);
            EXPECT_GE(inside.top, frame.top);
            EXPECT_LE(inside.right, frame.right);
            EXPECT_LE(inside.bottom, frame.bottom);
            EXPECT_TRUE(inside.width() == frame.width() || inside.height() == frame.height());
        }
    }
}

// The longest pictures the codecs accept, one pixel thick, in every mode.
TEST(FitRectangle, ExtremePanoramasStayInRange)
{
    const Rect frame{40, 30, 40 + 213, 30 + 142};
    const int longest = 1 << 30;
    const int sizes[][2] = {{1, longest}, {longest, 1}};
    for (const auto& size : sizes) {
        for (int mode = kFitInside; mode <= kFitFill; ++mode) {
            const Rect r = fitRectangle(frame, size[0], size[1], mode);
            EXPECT_GE(r.width(), 0) << mode;
            EXPECT_GE(r.height(), 0) << mode;
            if (mode == kFitFill) {
                EXPECT_LE(r.left, frame.left);
                EXPECT_LE(r.top, frame.top);
                EXPECT_GE(r.right, frame.right);
                EXPECT_GE(r.bottom, frame.bottom);
            }
            if (mode == kFitInside) {
                EXPECT_GE(r.left, frame.left);
                EXPECT_LE(r.right, frame.right);
                EXPECT_GE(r.top, frame.top);
                EXPECT_LE(r.bottom, frame.bottom);
            }
        }
    }
}

}  // namespace
}  // namespace tavelune
