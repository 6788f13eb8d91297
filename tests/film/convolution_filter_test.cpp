// Convolution: edges replicate, integer sums truncate, threads do not change the bytes.
#include "film/convolution_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/image.h"
#include "film/sharpen.h"
#include "film_test_pictures.h"
#include "pixel/pixel.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

const int32_t kSharpen6[9] = {0, -1, 0, -1, 6, -1, 0, -1, 0};

// The convolution written the obvious way: every cell, every coordinate clamped.
std::vector<uint32_t> naiveConvolution(const Image& image, const std::vector<int32_t>& weights,
                                       int rows, int cols)
{
    int64_t sum = 0;
    for (int32_t w : weights) sum += w;
    int64_t divisor = sum == 0 ? 1 : sum;
    std::vector<uint32_t> out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            int64_t acc[3] = {0, 0, 0};
            for (int ky = 0; ky < rows; ++ky) {
                for (int kx = 0; kx < cols; ++kx) {
                    int sy = std::clamp(y + ky - (rows - 1) / 2, 0, image.height() - 1);
                    int sx = std::clamp(x + kx - (cols - 1) / 2, 0, image.width() - 1);
                    uint32_t p = image.pixelAt(sx, sy);
                    int64_t w = weights[size_t(ky * cols + kx)];
                    acc[0] += w * redOf(p);
                    acc[1] += w * greenOf(p);
                    acc[2] += w * blueOf(p);
                }
            }
            auto c = [&](int64_t v) { return uint32_t(std::clamp<int64_t>(v / divisor, 0, 255)); };
            out.push_back(makePixel(255, c(acc[0]), c(acc[1]), c(acc[2])));
        }
    }
    return out;
}

TEST(ConvolutionFilter, FlatPictureKeepsItsGreyUpToTheEdges)
{
    ConvolutionFilter filter;
    ASSERT_TRUE(filter.setKernel(kSharpen6, 3, 3));
    EXPECT_EQ(filter.weightSum(), 2);
    EXPECT_EQ(filter.bias(), 0);
    Image image = test::solidPicture(5, 4, 0x80777777u);
    ASSERT_TRUE(filter.apply(image));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.pixelAt(x, y), 0xFF777777u) << x << "," << y;  // alpha becomes 255
}

TEST(ConvolutionFilter, SharpenExampleAndReplicatedEdges)
{
    // A bright pixel in a 100 grey field, at the centre and in a corner.
    Image centre = test::solidPicture(5, 5, 0xFF646464u);
    centre.rowFromTop(2)[2] = 0xFFC8C8C8u;
    Image corner = test::solidPicture(5, 5, 0xFF646464u);
    corner.rowFromTop(0)[0] = 0xFFC8C8C8u;
    sharpenPicture(centre, 0);
    sharpenPicture(corner, 0);
    EXPECT_EQ(centre.pixelAt(2, 2), 0xFFFFFFFFu);  // (6 * 200 - 4 * 100) / 2 = 400 -> 255
    for (auto [x, y] : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}})
        EXPECT_EQ(centre.pixelAt(x, y), 0xFF323232u);  // (600 - 200 - 300) / 2 = 50
    EXPECT_EQ(centre.pixelAt(0, 0), 0xFF646464u);
    // In the corner two neighbours are the pixel itself: (6 * 200 - 2 * 200 - 2 * 100) / 2.
    EXPECT_EQ(corner.pixelAt(0, 0), 0xFFFFFFFFu);
    // Its right neighbour sees it once, and the missing row above as its own value.
    EXPECT_EQ(corner.pixelAt(1, 0), 0xFF323232u);
}

TEST(ConvolutionFilter, MatchesTheObviousConvolutionOnAnyThreadCount)
{
    struct Kernel {
        std::vector<int32_t> weights;
        int rows, cols;
    };
    const Kernel kernels[] = {
        {{0, -1, 0, -1, 14, -1, 0, -1, 0}, 3, 3},
        {{1, 2, 1, 2, 4, 2, 1, 2, 1}, 3, 3},
        {{1, -2, 3, -4, 5, -6, 7, -8, 9, 10, 11, 12, 13, 14, 15}, 3, 5},  // not symmetric
        {{-1, -1, -1}, 3, 1},                                             // negative sum
        {{1, -1, 0, 0, 0, 0, 0, 0, 0}, 3, 3},                             // sum 0 divides by 1
        {{7}, 1, 1},
        {{300, -1, 250, 2, 9000, -7, 1, 1, 1}, 3, 3},  // sums too wide to look their level up
    };
    for (auto [w, h] : {std::pair{1, 1}, {2, 9}, {37, 23}, {4, 2}}) {
        Image source = test::variedColourPicture(w, h, uint32_t(w + h));
        for (const Kernel& k : kernels) {
            ConvolutionFilter filter;
            ASSERT_TRUE(filter.setKernel(k.weights.data(), k.rows, k.cols));
            std::vector<uint32_t> expected = naiveConvolution(source, k.weights, k.rows, k.cols);
            for (int threads : {1, 2, 3}) {
                Image image = source;
                ASSERT_TRUE(filter.apply(image, threads));
                EXPECT_EQ(test::pixelsOf(image), expected)
                    << w << "x" << h << " kernel " << k.rows << "x" << k.cols << " threads "
                    << threads;
            }
        }
    }
}

TEST(ConvolutionFilter, RejectsBadKernelsAndKeepsTheOldOne)
{
    ConvolutionFilter filter;
    Image image = test::solidPicture(3, 3, 0xFF101010u);
    EXPECT_FALSE(filter.apply(image));  // no kernel yet
    ASSERT_TRUE(filter.setKernel(kSharpen6, 3, 3));
    EXPECT_FALSE(filter.setKernel(nullptr, 3, 3));
    EXPECT_FALSE(filter.setKernel(kSharpen6, 0, 3));
    EXPECT_FALSE(filter.setKernel(kSharpen6, 3, -1));
    const int32_t huge[2] = {2'000'000'000, 2'000'000'000};
    EXPECT_FALSE(filter.setKernel(huge, 1, 2));  // the sum does not fit 32 bits
    EXPECT_EQ(filter.rows(), 3);
    EXPECT_EQ(filter.cols(), 3);
    EXPECT_EQ(filter.weightSum(), 2);
    EXPECT_EQ(filter.weights()[4], 6);
}

TEST(ConvolutionFilter, EvenSizesRoundUpWithZeroWeights)
{
    const int32_t weights[4] = {1, 2, 3, 4};
    ConvolutionFilter filter;
    ASSERT_TRUE(filter.setKernel(weights, 2, 2));
    EXPECT_EQ(filter.rows(), 3);
    EXPECT_EQ(filter.cols(), 3);
    EXPECT_EQ(filter.weightSum(), 10);
    std::vector<int32_t> cells(filter.weights(), filter.weights() + 9);
    EXPECT_EQ(cells, (std::vector<int32_t>{1, 2, 0, 3, 4, 0, 0, 0, 0}));
}

TEST(SharpenPicture, CentreWeightsByPosition)
{
    // Position 5 (and beyond) leaves the picture alone.
    Image untouched = test::variedColourPicture(8, 8);
    std::vector<uint32_t> before = test::pixelsOf(untouched);
    sharpenPicture(untouched, 5);
    EXPECT_EQ(test::pixelsOf(untouched), before);
    sharpenPicture(untouched, 9);
    EXPECT_EQ(test::pixelsOf(untouched), before);

    const int centre[6] = {6, 7, 8, 10, 14, 0};
    for (int position = 0; position < 5; ++position) {
        Image image = test::variedColourPicture(8, 8);
        sharpenPicture(image, position);
        std::vector<int32_t> k = {0, -1, 0, -1, centre[position], -1, 0, -1, 0};
        EXPECT_EQ(test::pixelsOf(image), naiveConvolution(test::variedColourPicture(8, 8), k, 3, 3))
            << position;
    }
}

}  // namespace
}  // namespace tavelune
