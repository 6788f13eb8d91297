// A convolution kernel applied to a whole picture, edges replicated.
#pragma once

#include <cstdint>
#include <memory>

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

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int32_t weightSum() const { return m_weightSum; }
    int32_t bias() const { return m_bias; }
    const int32_t* weights() const { return m_weights.get(); }

private:
    int m_rows = 0;
    int m_cols = 0;
    int32_t m_weightSum = 0;
    int32_t m_bias = 0;
    std::unique_ptr<int32_t[]> m_weights;
};

}  // namespace tavelune
