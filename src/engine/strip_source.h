// Rows of a picture handed on top to bottom, a few at a time: a JPEG being decoded, or a
// picture developed in another process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelune {

class StripSource {
public:
    virtual ~StripSource() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    /// Reads the next count rows into first, first + stride, ... (stride in pixels).
    virtual bool readRows(uint32_t* first, size_t stride, int count) = 0;
    /// After the last row: whatever check only the end allows.
    virtual bool finish() = 0;
};

}  // namespace tavelune
