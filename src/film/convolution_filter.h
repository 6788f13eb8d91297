// A convolution kernel applied to a whole picture, edges replicated.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tavelune {

class Image;

class ConvolutionFilter {
public:
    ConvolutionFilter() = default;
    ConvolutionFilter(const ConvolutionFilter&) = delete;
    ConvolutionFilter& operator=(const ConvolutionFilter&) = delete;
    virtual ~ConvolutionFilter();

    /// Takes rows x cols weights, row by row. Even sizes are rounded up to the next odd one;
    /// the added row or column weighs 0. False (kernel unchanged) for null weights, a size
    /// below 1 or no memory.
    bool setKernel(const int32_t* weights, int rows, int cols);

    /// Each colour channel becomes sum(weight * channel) / weightSum + bias (weightSum 0
    /// counts as 1), clamped to 0..255; alpha becomes 255. Rows are split over threadCount
    /// threads, which does not change the result. False without a kernel or memory.
    bool apply(Image& image, int threadCount = 1) const;

    /// Rows above and below a row that its convolution reads.
    int reachRows() const { return (m_rows - 1) / 2; }
    /// One row of apply()'s result: rows holds the picture's rows y - reachRows() .. y +
    /// reachRows() (already clamped to the picture at its top and bottom), out receives row y.
    /// Columns are clamped at the left and right edges. Needs a kernel.
    void convolveRow(const uint32_t* const* rows, uint32_t* out, int width) const;

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int32_t weightSum() const { return m_weightSum; }
    int32_t bias() const { return m_bias; }
    const int32_t* weights() const { return m_weights.get(); }

private:
    struct Tap {
        int dy;  // kernel row, 0 = top
        int dx;
        int64_t weight;
    };

    int m_rows = 0;
    int m_cols = 0;
    int32_t m_weightSum = 0;
    int32_t m_bias = 0;
    std::unique_ptr<int32_t[]> m_weights;
    std::vector<Tap> m_taps;  // the non-zero cells
    // Result level by channel sum minus m_lowestSum, when the sums span a short range.
    std::vector<uint8_t> m_levels;
    int32_t m_lowestSum = 0;
};

}  // namespace tavelune
