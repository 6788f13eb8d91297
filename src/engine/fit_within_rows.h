// fitWithin for a picture that arrives one row at a time, holding only the rows it reads.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/image.h"

namespace tavelune {

/// The same picture fitWithin makes, from rows handed over top first: a reduction keeps only
/// the two source rows each output row blends, so a large picture is never held whole.
class FitWithinRows {
public:
    /// False for a size or maxSide below 1, or no memory.
    bool start(int width, int height, int maxSide);
    /// Row y from the top, width pixels; rows come in order, each once.
    bool takeRow(int y, const uint32_t* row);
    /// The picture at dpi, once every row came. False before that or without memory.
    bool finish(Image& out, float dpi);

private:
    const uint32_t* keptRow(int y) const;

    int m_width = 0;
    int m_height = 0;
    int m_newWidth = 0;
    int m_newHeight = 0;
    bool m_reduce = false;
    int m_rowsTaken = 0;
    std::vector<int> m_keptRows;   // source rows the reduction reads, ascending
    std::vector<uint32_t> m_kept;  // their pixels, in that order
    Image m_whole;                 // a picture left alone is kept whole
};

}  // namespace tavelune
