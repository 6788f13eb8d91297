// The convolution: integer sums over the kernel's non-zero cells, rows split over threads.
#include "film/convolution_filter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "engine/image.h"
#include "engine/parallel.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

constexpr int64_t kLevelTableLimit = int64_t(1) << 16;

inline int64_t channelLevel(int64_t sum, int64_t divisor, int64_t bias)
{
    return std::clamp<int64_t>(sum / divisor + bias, 0, 255);
}

constexpr size_t kMaxUnrolledTaps = 9;

// The columns that need no clamping, for a kernel of Taps non-zero cells whose sums fit the
// level table (and so 32 bits): the tap count fixed at compile time lets the loop unroll.
struct InnerRun {
    const uint32_t* const* rows;  // each tap's row
    const int* offsets;           // each tap's column offset
    const int32_t* weights;
    const uint8_t* levels;
    int32_t lowest;
    uint32_t* out;

    template <size_t Taps>
    void pixels(int begin, int end) const
    {
        for (int x = begin; x < end; ++x) {
            int32_t sr = 0, sg = 0, sb = 0;
            for (size_t t = 0; t < Taps; ++t) {
                const uint32_t p = rows[t][x + offsets[t]];
                sr += weights[t] * redOf(p);
                sg += weights[t] * greenOf(p);
                sb += weights[t] * blueOf(p);
            }
            out[x] = makePixel(255, levels[sr - lowest], levels[sg - lowest], levels[sb - lowest]);
        }
    }
};

inline uint32_t convolvedPixel(int64_t sr, int64_t sg, int64_t sb, int64_t divisor, int64_t bias)
{
    return makePixel(255, uint32_t(channelLevel(sr, divisor, bias)),
                     uint32_t(channelLevel(sg, divisor, bias)),
                     uint32_t(channelLevel(sb, divisor, bias)));
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
    std::vector<uint8_t> levels;
    int64_t lowest = 0;
    int64_t highest = 0;
    try {
        for (int ky = 0; ky < oddRows; ++ky)
            for (int kx = 0; kx < oddCols; ++kx)
                if (int32_t w = copy[size_t(ky) * size_t(oddCols) + size_t(kx)]) {
                    taps.push_back({ky, kx - (oddCols - 1) / 2, w});
                    (w < 0 ? lowest : highest) += int64_t(w) * 255;
                }
        // A small kernel's channel sums span a short range: each sum's level is looked up
        // instead of divided, the same value by construction.
        if (highest - lowest < kLevelTableLimit) {
            const int64_t divisor = sum == 0 ? 1 : sum;
            levels.resize(size_t(highest - lowest + 1));
            for (int64_t v = lowest; v <= highest; ++v)
                levels[size_t(v - lowest)] = uint8_t(channelLevel(v, divisor, 0));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_rows = oddRows;
    m_cols = oddCols;
    m_bias = 0;
    m_weightSum = int32_t(sum);
    m_weights = std::move(copy);
    m_taps = std::move(taps);
    m_levels = std::move(levels);
    m_lowestSum = int32_t(lowest);
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
    if (!m_levels.empty() && m_bias == 0 && m_taps.size() <= kMaxUnrolledTaps) {
        std::array<const uint32_t*, kMaxUnrolledTaps> tapRows{};
        std::array<int, kMaxUnrolledTaps> tapOffsets{};
        std::array<int32_t, kMaxUnrolledTaps> tapWeights{};
        for (size_t t = 0; t < m_taps.size(); ++t) {
            tapRows[t] = rows[m_taps[t].dy];
            tapOffsets[t] = m_taps[t].dx;
            tapWeights[t] = int32_t(m_taps[t].weight);
        }
        const InnerRun run{tapRows.data(),  tapOffsets.data(), tapWeights.data(),
                           m_levels.data(), m_lowestSum,       out};
        switch (m_taps.size()) {
            case 1:
                run.pixels<1>(innerBegin, innerEnd);
                break;
            case 2:
                run.pixels<2>(innerBegin, innerEnd);
                break;
            case 3:
                run.pixels<3>(innerBegin, innerEnd);
                break;
            case 4:
                run.pixels<4>(innerBegin, innerEnd);
                break;
            case 5:
                run.pixels<5>(innerBegin, innerEnd);
                break;
            case 6:
                run.pixels<6>(innerBegin, innerEnd);
                break;
            case 7:
                run.pixels<7>(innerBegin, innerEnd);
                break;
            case 8:
                run.pixels<8>(innerBegin, innerEnd);
                break;
            default:
                run.pixels<9>(innerBegin, innerEnd);
                break;
        }
        for (int x = innerEnd; x < width; ++x) clampedPixel(x);
        return;
    }
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
