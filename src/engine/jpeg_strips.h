// JPEG files read and written a few rows at a time, for work that never holds the whole picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/strip_source.h"

namespace tavelune {

struct PictureMetadata;

/// Reads a JPEG file top to bottom with the pixels JpegCodec::read gives (colour, grey and
/// CMYK, baseline and progressive). Library errors show "JPEG Fatal Error" and note the reason;
/// after a failure the reader is closed and every call returns false.
class JpegStripReader final : public StripSource {
public:
    JpegStripReader();
    ~JpegStripReader();
    JpegStripReader(const JpegStripReader&) = delete;
    JpegStripReader& operator=(const JpegStripReader&) = delete;

    /// Opens path and reads the header; false for an unreadable file or a size out of range.
    /// The size and dpi stay known after the reader finishes or fails.
    bool open(const std::string& path);
    /// The same over a whole file in memory, which must outlive the reader.
    bool openMemory(const uint8_t* data, size_t size);
    int width() const override;
    int height() const override;
    /// The file's density in dots per inch, 72 without one.
    float dpi() const;
    /// Whether the file stores inks (CMYK or YCCK) rather than light.
    bool isCmyk() const;

    bool readRows(uint32_t* first, size_t stride, int count) override;
    /// After the last row: reads to the end of the file, which may still find it damaged.
    bool finish() override;

private:
    bool start(std::FILE* file);

    struct State;
    std::unique_ptr<State> m_state;
};

/// Writes a JPEG file top to bottom with the bytes JpegCodec::write gives for the same pixels,
/// dpi and quality. Library errors show "JPEG Fatal Error" and note the reason.
class JpegStripWriter {
public:
    JpegStripWriter();
    ~JpegStripWriter();
    JpegStripWriter(const JpegStripWriter&) = delete;
    JpegStripWriter& operator=(const JpegStripWriter&) = delete;

    /// What the next open writes after the headers (see ImageCodec::setMetadata); the caller
    /// keeps it alive until open returns.
    void setMetadata(const PictureMetadata* metadata) { m_metadata = metadata; }
    /// Creates path and writes the headers.
    bool open(const std::string& path, int width, int height, float dpi, int quality);
    /// The same into memory; finishInto hands the file over.
    bool openMemory(int width, int height, float dpi, int quality);
    /// Writes the next count rows from first, first + stride, ... (stride in pixels).
    bool writeRows(const uint32_t* first, size_t stride, int count);
    /// After the last row: completes and closes the file.
    bool finish();
    /// After finish on a writer opened in memory: out receives the whole file.
    bool takeMemory(std::vector<uint8_t>& out);

private:
    bool start(std::FILE* file, int width, int height, float dpi, int quality);
    bool completeScan();

    struct State;
    std::unique_ptr<State> m_state;
    const PictureMetadata* m_metadata = nullptr;
};

/// Writes a finished JPEG file's bytes to path; a failed write is reported as the writer
/// reports one ("JPEG Fatal Error", the reason noted).
bool writeJpegBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tavelune
