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
    std::vector<Tap> taps;
    try {
        for (int ky = 0; ky < oddRows; ++ky)
            for (int kx = 0; kx < oddCols; ++kx)
                if (int32_t w = copy[size_t(ky) * size_t(oddCols) + size_t(kx)])
                    taps.push_back({ky, kx - (oddCols - 1) / 2, w});
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_rows = oddRows;
    m_cols = oddCols;
    m_bias = 0;
    m_weightSum = int32_t(sum);
    m_weights = std::move(copy);
    m_taps = std::move(taps);
    return true;
}

void ConvolutionFilter::convolveRow(const uint32_t* const* rows, uint32_t* out, int width) const
{
    const int reachX = (m_cols - 1) / 2;
    const int64_t divisor = m_weightSum == 0 ? 1 : m_weightSum;
    const int64_t bias = m_bias;
    // Columns whose whole neighbourhood lies inside the picture need no clamping.
    const int innerBegin = std::min(reachX, width);
    const int innerEnd = std::max(innerBegin, width - reachX);
    auto clampedPixel = [&](int x) {
        int64_t sr = 0, sg = 0, sb = 0;
        for (const Tap& tap : m_taps) {
            uint32_t p = rows[tap.dy][std::clamp(x + tap.dx, 0, width - 1)];
            sr += tap.weight * redOf(p);
            sg += tap.weight * greenOf(p);
            sb += tap.weight * blueOf(p);
        }
        out[x] = convolvedPixel(sr, sg, sb, divisor, bias);
    };
    for (int x = 0; x < innerBegin; ++x) clampedPixel(x);
    for (int x = innerBegin; x < innerEnd; ++x) {
        int64_t sr = 0, sg = 0, sb = 0;
        for (const Tap& tap : m_taps) {
            uint32_t p = rows[tap.dy][x + tap.dx];
            sr += tap.weight * redOf(p);
            sg += tap.weight * greenOf(p);
            sb += tap.weight * blueOf(p);
        }
        out[x] = convolvedPixel(sr, sg, sb, divisor, bias);
    }
    for (int x = innerEnd; x < width; ++x) clampedPixel(x);
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

    const int reachY = reachRows();
    const Image& source = image;
    auto convolveRows = [&](size_t firstRow, size_t endRow) {
        std::vector<const uint32_t*> rowOf(static_cast<size_t>(m_rows));
        for (int y = int(firstRow); y < int(endRow); ++y) {
            for (int k = 0; k < m_rows; ++k)
                rowOf[size_t(k)] = source.rowFromTop(std::clamp(y + k - reachY, 0, height - 1));
            convolveRow(rowOf.data(), output + size_t(height - 1 - y) * size_t(width), width);
        }
    };
    size_t rowsPerChunk = std::max<size_t>(1, 65536 / size_t(width));
    parallelChunks(size_t(height), rowsPerChunk, threadCount, convolveRows);

    // The result takes the new buffer's place; nothing is copied back.
    freePixels(image.exchangePixels(output));
    return true;
}

}  // namespace tavelune
