// Resampling: positions, neighbours and weights are worked out once per column and per row
// instead of once per pixel; the arithmetic per pixel is sample()'s, in the same order.
#include "engine/resample.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/parallel.h"
#include "engine/sampling_math.h"

namespace tavelune {
namespace {

using detail::Axis;
using detail::channelOf;
using detail::LinearTap;
using detail::linearTap;

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
            detail::bilinearRow(upper, lower, columns.data(), newWidth, rowTap.fraction, row);
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
        std::vector<double> columnSums;
        try {
            columnSums.resize(used.size() * 4);
        } catch (const std::bad_alloc&) {
            sampleRows(source, newWidth, newHeight, kBicubic, out, begin, end);
            return;
        }
        for (int i = begin; i < end; ++i) {
            const CubicTap rowTap = cubicTap(down, i);
            const uint32_t* rows[4];
            for (int k = 0; k < 4; ++k) rows[k] = source.rowFromTop(rowTap.index[k]);
            for (size_t u = 0; u < used.size(); ++u) {
                const int c = used[u];
                const uint32_t p[4] = {rows[0][c], rows[1][c], rows[2][c], rows[3][c]};
                for (int channel = 0; channel < 4; ++channel) {
                    const int shift = channel * 8;
                    double sum = 0.0;
                    for (int r = 0; r < 4; ++r) sum += rowTap.weight[r] * channelOf(p[r], shift);
                    columnSums[u * 4 + size_t(channel)] = sum;
                }
            }
            uint32_t* row = out + size_t(newHeight - 1 - i) * size_t(newWidth);
            for (int j = 0; j < newWidth; ++j) {
                const CubicTap& tap = columns[size_t(j)];
                uint32_t result = 0;
                for (int channel = 0; channel < 4; ++channel) {
                    double sum = 0.0;
                    for (int c = 0; c < 4; ++c)
                        sum +=
                            tap.weight[c] * columnSums[size_t(tap.index[c]) * 4 + size_t(channel)];
                    result |= uint32_t(std::clamp(sum, 0.0, 255.0)) << (channel * 8);
                }
                row[j] = result;
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
