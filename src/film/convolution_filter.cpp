// The convolution: integer sums over the kernel's non-zero cells, rows split over threads.
#include "film/convolution_filter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "engine/image.h"
#include "engine/parallel.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

struct Tap {
    int dy;
    int dx;
    int64_t weight;
};

inline uint32_t convolvedPixel(int64_t sr, int64_t sg, int64_t sb, int64_t divisor, int64_t bias)
{
    auto channel = [&](int64_t sum) { return std::clamp<int64_t>(sum / divisor + bias, 0, 255); };
    return makePixel(255, uint32_t(channel(sr)), uint32_t(channel(sg)), uint32_t(channel(sb)));
}

}  // namespace

ConvolutionFilter::~ConvolutionFilter() = default;

bool ConvolutionFilter::setKernel(const int32_t* weights, int rows, int cols)
{
    if (!weights || rows < 1 || cols < 1)
        return false;
    int oddRows = rows / 2 * 2 + 1;
    int oddCols = cols / 2 * 2 + 1;
    size_t cells = size_t(oddRows) * size_t(oddCols);
    std::unique_ptr<int32_t[]> copy(new (std::nothrow) int32_t[cells]());
    if (!copy)
        return false;
    int64_t sum = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            int32_t w = weights[size_t(y) * size_t(cols) + size_t(x)];
            copy[size_t(y) * size_t(oddCols) + size_t(x)] = w;
            sum += w;
        }
    }
    // A sum that does not fit its 32-bit field would make every division meaningless.
    if (sum < std::numeric_limits<int32_t>::min() || sum > std::numeric_limits<int32_t>::max())
        return false;
    m_rows = oddRows;
    m_cols = oddCols;
    m_bias = 0;
    m_weightSum = int32_t(sum);
    m_weights = std::move(copy);
    return true;
}

bool ConvolutionFilter::apply(Image& image, int threadCount) const
{
    if (!m_weights)
        return false;
    if (image.isEmpty())
        return true;
    const int width = image.width();
    const int height = image.height();
    uint32_t* output = allocatePixels(image.pixelCount());
    if (!output)
        return false;

    const int reachY = (m_rows - 1) / 2;
    const int reachX = (m_cols - 1) / 2;
    std::vector<Tap> taps;
    for (int ky = 0; ky < m_rows; ++ky)
        for (int kx = 0; kx < m_cols; ++kx)
            if (int32_t w = m_weights[size_t(ky) * size_t(m_cols) + size_t(kx)])
                taps.push_back({ky - reachY, kx - reachX, w});
    const int64_t divisor = m_weightSum == 0 ? 1 : m_weightSum;
    const int64_t bias = m_bias;
    const Image& source = image;
    // Columns whose whole neighbourhood lies inside the picture need no clamping.
    const int innerBegin = std::min(reachX, width);
    const int innerEnd = std::max(innerBegin, width - reachX);

    auto convolveRows = [&](size_t firstRow, size_t endRow) {
        std::vector<const uint32_t*> rowOf(taps.size());
        for (int y = int(firstRow); y < int(endRow); ++y) {
            for (size_t t = 0; t < taps.size(); ++t)
                rowOf[t] = source.rowFromTop(std::clamp(y + taps[t].dy, 0, height - 1));
            uint32_t* out = output + size_t(height - 1 - y) * size_t(width);
            auto clampedPixel = [&](int x) {
                int64_t sr = 0, sg = 0, sb = 0;
                for (size_t t = 0; t < taps.size(); ++t) {
                    uint32_t p = rowOf[t][std::clamp(x + taps[t].dx, 0, width - 1)];
                    sr += taps[t].weight * redOf(p);
                    sg += taps[t].weight * greenOf(p);
                    sb += taps[t].weight * blueOf(p);
                }
                out[x] = convolvedPixel(sr, sg, sb, divisor, bias);
            };
            for (int x = 0; x < innerBegin; ++x) clampedPixel(x);
            for (int x = innerBegin; x < innerEnd; ++x) {
                int64_t sr = 0, sg = 0, sb = 0;
                for (size_t t = 0; t < taps.size(); ++t) {
                    uint32_t p = rowOf[t][x + taps[t].dx];
                    sr += taps[t].weight * redOf(p);
                    sg += taps[t].weight * greenOf(p);
                    sb += taps[t].weight * blueOf(p);
                }
                out[x] = convolvedPixel(sr, sg, sb, divisor, bias);
            }
            for (int x = innerEnd; x < width; ++x) clampedPixel(x);
        }
    };
    size_t rowsPerChunk = std::max<size_t>(1, 65536 / size_t(width));
    parallelChunks(size_t(height), rowsPerChunk, threadCount, convolveRows);

    std::memcpy(image.pixels(), output, image.byteSize());
    freePixels(output);
    return true;
}

}  // namespace tavelune
