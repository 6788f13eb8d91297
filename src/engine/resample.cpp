// Resampling: positions, neighbours and weights are worked out once per column and per row
// instead of once per pixel; the arithmetic per pixel is sample()'s, in the same order.
#include "engine/resample.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/parallel_rows.h"
#include "engine/sampling_math.h"

namespace tavelune {
namespace {

using detail::channelOf;

// The four channels of a pixel side by side. Each lane does exactly the double operations
// sample() does for that channel, so the bytes stay the same; only the instruction count drops.
// These helpers never cross a translation unit, so the vector ABI note does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
using Lanes = double __attribute__((vector_size(32)));
using IntLanes = int32_t __attribute__((vector_size(16)));

inline Lanes lanesOf(uint32_t pixel)
{
    return Lanes{double(pixel & 0xFF), double((pixel >> 8) & 0xFF), double((pixel >> 16) & 0xFF),
                 double(pixel >> 24)};
}

// Every lane lies in 0..255 here, where conversion to int truncates like conversion to
// unsigned.
inline uint32_t packed(Lanes lanes)
{
    const IntLanes bytes = __builtin_convertvector(lanes, IntLanes);
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

inline Lanes truncated(Lanes lanes)
{
    return __builtin_convertvector(__builtin_convertvector(lanes, IntLanes), Lanes);
}

void sampleRows(const Image& source, int newWidth, int newHeight, int samplerMode, uint32_t* out,
                int begin, int end)
{
    const double stepX = double(source.width()) / double(newWidth);
    const double stepY = double(source.height()) / double(newHeight);
    for (int i = begin; i < end; ++i) {
        uint32_t* row = out + size_t(newHeight - 1 - i) * size_t(newWidth);
        const double y = i * stepY;
        for (int j = 0; j < newWidth; ++j) row[j] = source.sample(j * stepX, y, samplerMode);
    }
}

struct Axis {
    double step;
    int last;
    double position(int i) const { return i * step; }
};

void resampleNearest(const Image& source, int newWidth, int newHeight, uint32_t* out)
{
    const Axis across{double(source.width()) / double(newWidth), source.width() - 1};
    const Axis down{double(source.height()) / double(newHeight), source.height() - 1};
    std::vector<int> columns(static_cast<size_t>(newWidth));
    for (int j = 0; j < newWidth; ++j)
        columns[size_t(j)] = std::clamp(int(across.position(j) + 0.5), 0, across.last);
    forEachRowBand(newHeight, size_t(newWidth), [&](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const uint32_t* in =
                source.rowFromTop(std::clamp(int(down.position(i) + 0.5), 0, down.last));
            uint32_t* row = out + size_t(newHeight - 1 - i) * size_t(newWidth);
            for (int j = 0; j < newWidth; ++j) row[j] = in[columns[size_t(j)]];
        }
    });
}

struct LinearTap {
    int first;
    int second;
    double fraction;
};

LinearTap linearTap(const Axis& axis, int i)
{
    const double position = axis.position(i);
    const int first = std::clamp(int(position), 0, axis.last);
    return {first, first < axis.last ? first + 1 : first, position - first};
}

void resampleBilinear(const Image& source, int newWidth, int newHeight, uint32_t* out)
{
    const Axis across{double(source.width()) / double(newWidth), source.width() - 1};
    const Axis down{double(source.height()) / double(newHeight), source.height() - 1};
    std::vector<LinearTap> columns(static_cast<size_t>(newWidth));
    for (int j = 0; j < newWidth; ++j) columns[size_t(j)] = linearTap(across, j);
    forEachRowBand(newHeight, size_t(newWidth) * 4, [&](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const LinearTap rowTap = linearTap(down, i);
            const uint32_t* upper = source.rowFromTop(rowTap.first);
            const uint32_t* lower = source.rowFromTop(rowTap.second);
            uint32_t* row = out + size_t(newHeight - 1 - i) * size_t(newWidth);
            for (int j = 0; j < newWidth; ++j) {
                const LinearTap& tap = columns[size_t(j)];
                const Lanes p00 = lanesOf(upper[tap.first]), p10 = lanesOf(upper[tap.second]);
                const Lanes p01 = lanesOf(lower[tap.first]), p11 = lanesOf(lower[tap.second]);
                const Lanes top = truncated(p00 + tap.fraction * (p10 - p00));
                const Lanes bottom = truncated(p01 + tap.fraction * (p11 - p01));
                const uint32_t result = packed(top + rowTap.fraction * (bottom - top));
                row[j] = result;
            }
        }
    });
}

struct CubicTap {
    int index[4];
    double weight[4];
};

CubicTap cubicTap(const Axis& axis, int i)
{
    const double position = axis.position(i);
    const int base = std::clamp(int(position), 0, axis.last);
    CubicTap tap;
    detail::cubicWeights(position - base, tap.weight);
    for (int k = 0; k < 4; ++k) tap.index[k] = std::clamp(base + k - 1, 0, axis.last);
    return tap;
}

// sample() combines, per channel, the four rows of each neighbour column first and then the
// four column sums. A column sum depends only on the source column and the output row, so it
// is computed once per row for every source column in use and shared by all output pixels
// that read it: the same operations in the same order, done fewer times when enlarging.
void resampleBicubic(const Image& source, int newWidth, int newHeight, uint32_t* out)
{
    const Axis across{double(source.width()) / double(newWidth), source.width() - 1};
    const Axis down{double(source.height()) / double(newHeight), source.height() - 1};
    std::vector<CubicTap> columns(static_cast<size_t>(newWidth));
    std::vector<int> slot(static_cast<size_t>(source.width()), -1);
    for (int j = 0; j < newWidth; ++j) {
        columns[size_t(j)] = cubicTap(across, j);
        for (int index : columns[size_t(j)].index) slot[size_t(index)] = 0;
    }
    std::vector<int> used;
    for (int c = 0; c < source.width(); ++c) {
        if (slot[size_t(c)] == 0) {
            slot[size_t(c)] = int(used.size());
            used.push_back(c);
        }
    }
    for (CubicTap& tap : columns)
        for (int& index : tap.index) index = slot[size_t(index)];

    forEachRowBand(newHeight, size_t(newWidth) * 16, [&](int begin, int end) {
        std::vector<Lanes> columnSums;
        try {
            columnSums.resize(used.size());
        } catch (const std::bad_alloc&) {
            sampleRows(source, newWidth, newHeight, kBicubic, out, begin, end);
            return;
        }
        const Lanes lowest = {0.0, 0.0, 0.0, 0.0};
        const Lanes highest = {255.0, 255.0, 255.0, 255.0};
        for (int i = begin; i < end; ++i) {
            const CubicTap rowTap = cubicTap(down, i);
            const uint32_t* rows[4];
            for (int k = 0; k < 4; ++k) rows[k] = source.rowFromTop(rowTap.index[k]);
            for (size_t u = 0; u < used.size(); ++u) {
                const int c = used[u];
                Lanes sum = lowest;
                for (int r = 0; r < 4; ++r) sum += rowTap.weight[r] * lanesOf(rows[r][c]);
                columnSums[u] = sum;
            }
            uint32_t* row = out + size_t(newHeight - 1 - i) * size_t(newWidth);
            for (int j = 0; j < newWidth; ++j) {
                const CubicTap& tap = columns[size_t(j)];
                Lanes sum = lowest;
                for (int c = 0; c < 4; ++c) sum += tap.weight[c] * columnSums[size_t(tap.index[c])];
                // std::clamp's order of tests, lane by lane
                sum = sum < lowest ? lowest : (highest < sum ? highest : sum);
                row[j] = packed(sum);
            }
        }
    });
}

}  // namespace

void resamplePixels(const Image& source, int newWidth, int newHeight, int samplerMode,
                    uint32_t* out)
{
    try {
        if (samplerMode == kBilinear)
            resampleBilinear(source, newWidth, newHeight, out);
        else if (samplerMode == kBicubic)
            resampleBicubic(source, newWidth, newHeight, out);
        else
            resampleNearest(source, newWidth, newHeight, out);
    } catch (const std::bad_alloc&) {
        // The tables could not be had: the per-pixel road needs no memory.
        sampleRows(source, newWidth, newHeight, samplerMode, out, 0, newHeight);
    }
}

void resamplePixelsBySample(const Image& source, int newWidth, int newHeight, int samplerMode,
                            uint32_t* out)
{
    sampleRows(source, newWidth, newHeight, samplerMode, out, 0, newHeight);
}

}  // namespace tavelune
