// Strip-wise JPEG reading and writing. As in the whole-picture codec, libjpeg's error_exit
// longjmps back to the setjmp point of the member that called the library; those members hold
// only plain data, and the library state lives in a heap block that outlives the jump.
#include "engine/jpeg_strips.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "engine/codec_support.h"
#include "engine/jpeg_library.h"
#include "engine/jpeg_metadata.h"

namespace tavelune {

using jpeg_library::ErrorManager;

namespace {

// The library reads and writes 4 KB at a time; through a larger stream buffer a 6 MP photo
// takes a few dozen system calls instead of a thousand.
constexpr size_t kStreamBuffer = size_t(256) << 10;

// Gives file the buffer, made once per reader or writer (it outlives every file they open).
void bufferStream(std::FILE* file, std::unique_ptr<char[]>& buffer)
{
    if (!buffer)
        buffer.reset(new (std::nothrow) char[kStreamBuffer]);
    if (buffer)
        std::setvbuf(file, buffer.get(), _IOFBF, kStreamBuffer);
}

}  // namespace

struct JpegStripReader::State {
    jpeg_decompress_struct info;
    ErrorManager errors;
    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    bool created = false;
    bool cmyk = false;
    JSAMPARRAY cmykLine = nullptr;
    float dpi = 72.0f;
    int width = 0;  // kept after the reader closes
    int height = 0;

    void close()
    {
        if (created)
            jpeg_destroy_decompress(&info);
        created = false;
        if (file)
            std::fclose(file);
        file = nullptr;
    }
};

JpegStripReader::JpegStripReader() : m_state(std::make_unique<State>()) {}

JpegStripReader::~JpegStripReader()
{
    m_state->close();
}

bool JpegStripReader::open(const std::string& path)
{
    m_state->close();
    if (path.empty())
        return false;
    std::FILE* file = openForReading(path);
    if (!file)
        return false;
    bufferStream(file, m_state->buffer);
    return start(file);
}

bool JpegStripReader::openMemory(const uint8_t* data, size_t size)
{
    m_state->close();
    if (!data || size == 0)
        return false;
    // A stdio stream over the bytes gives the library the same source as a file.
    std::FILE* file = ::fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    return start(file);
}

bool JpegStripReader::start(std::FILE* file)
{
    State& s = *m_state;
    s.file = file;
    s.width = s.height = 0;
    s.dpi = 72.0f;
    std::memset(&s.info, 0, sizeof s.info);
    jpeg_library::installErrorManager(s.errors, s.info.err);
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    jpeg_create_decompress(&s.info);
    s.created = true;
    jpeg_stdio_src(&s.info, s.file);
    jpeg_read_header(&s.info, TRUE);
    if (!pictureSizeAllowed(s.info.image_width, s.info.image_height)) {
        s.close();
        return false;
    }
    s.cmyk = s.info.out_color_space == JCS_CMYK;
    if (!s.cmyk)
        s.info.out_color_space = JCS_EXT_BGRA;  // alpha filled with 255 by the library
    jpeg_start_decompress(&s.info);
    s.dpi = jpeg_library::densityToDpi(s.info);
    s.width = int(s.info.output_width);
    s.height = int(s.info.output_height);
    s.cmykLine = s.cmyk ? (*s.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s.info),
                                                      JPOOL_IMAGE, s.info.output_width * 4, 1)
                        : nullptr;
    return true;
}

int JpegStripReader::width() const
{
    return m_state->width;
}

int JpegStripReader::height() const
{
    return m_state->height;
}

float JpegStripReader::dpi() const
{
    return m_state->dpi;
}

bool JpegStripReader::isCmyk() const
{
    return m_state->cmyk;
}

bool JpegStripReader::readRows(uint32_t* first, size_t stride, int count)
{
    State& s = *m_state;
    if (!s.created || count < 0 ||
        JDIMENSION(count) > s.info.output_height - s.info.output_scanline)
        return false;
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    for (int r = 0; r < count; ++r) {
        uint32_t* row = first + size_t(r) * stride;
        if (s.cmyk) {
            jpeg_read_scanlines(&s.info, s.cmykLine, 1);
            jpeg_library::cmykToBgra(s.cmykLine[0], row, s.info.output_width,
                                     s.info.saw_Adobe_marker);
        } else {
            JSAMPROW target = reinterpret_cast<JSAMPROW>(row);
            jpeg_read_scanlines(&s.info, &target, 1);
        }
    }
    return true;
}

bool JpegStripReader::finish()
{
    State& s = *m_state;
    if (!s.created || s.info.output_scanline < s.info.output_height)
        return false;
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    jpeg_finish_decompress(&s.info);
    s.close();
    return true;
}

struct JpegStripWriter::State {
    jpeg_compress_struct info;
    ErrorManager errors;
    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    bool created = false;
    bool inMemory = false;
    char* memory = nullptr;  // open_memstream's buffer, valid once the stream is closed
    size_t memorySize = 0;
    std::vector<JpegMarkerSegment> segments;  // outlives the jumps of start()

    ~State() { std::free(memory); }

    void reset()
    {
        close();
        std::free(memory);
        memory = nullptr;
        memorySize = 0;
        inMemory = false;
    }

    // Returns whether the file closed cleanly.
    bool close()
    {
        if (created)
            jpeg_destroy_compress(&info);
        created = false;
        bool closed = true;
        if (file && std::fclose(file) != 0) {
            noteCodecFailure(std::strerror(errno));
            closed = false;
        }
        file = nullptr;
        return closed;
    }
};

JpegStripWriter::JpegStripWriter() : m_state(std::make_unique<State>()) {}

JpegStripWriter::~JpegStripWriter()
{
    m_state->close();
}

bool JpegStripWriter::open(const std::string& path, int width, int height, float dpi, int quality)
{
    m_state->reset();
    if (path.empty() || width < 1 || height < 1)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    bufferStream(file, m_state->buffer);
    return start(file, width, height, dpi, quality);
}

bool JpegStripWriter::openMemory(int width, int height, float dpi, int quality)
{
    State& s = *m_state;
    s.reset();
    if (width < 1 || height < 1)
        return false;
    std::FILE* file = ::open_memstream(&s.memory, &s.memorySize);
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    s.inMemory = true;
    return start(file, width, height, dpi, quality);
}

bool JpegStripWriter::takeMemory(std::vector<uint8_t>& out)
{
    State& s = *m_state;
    if (!s.inMemory || s.file || s.created || !s.memory)
        return false;
    try {
        out.assign(s.memory, s.memory + s.memorySize);
    } catch (const std::bad_alloc&) {
        noteCodecFailure("out of memory");
        return false;
    }
    return true;
}

bool JpegStripWriter::start(std::FILE* file, int width, int height, float dpi, int quality)
{
    State& s = *m_state;
    s.file = file;
    s.segments = m_metadata ? jpegMetadataSegments(*m_metadata) : std::vector<JpegMarkerSegment>{};
    std::memset(&s.info, 0, sizeof s.info);
    jpeg_library::installErrorManager(s.errors, s.info.err);
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    jpeg_create_compress(&s.info);
    s.created = true;
    jpeg_stdio_dest(&s.info, s.file);
    // The settings of JpegCodec::write, which a test holds this writer to byte for byte.
    s.info.image_width = JDIMENSION(width);
    s.info.image_height = JDIMENSION(height);
    s.info.input_components = 4;
    s.info.in_color_space = JCS_EXT_BGRA;  // the alpha byte is skipped by the library
    jpeg_set_defaults(&s.info);
    s.info.density_unit = 1;
    const UINT16 density = dpi >= 65535.0f ? UINT16(65535) : UINT16(dpi);
    s.info.X_density = density;
    s.info.Y_density = density;
    jpeg_set_quality(&s.info, quality, TRUE);
    s.info.write_JFIF_header = TRUE;
    jpeg_start_compress(&s.info, TRUE);
    jpeg_library::writeMarkerSegments(s.info, s.segments.data(), s.segments.size());
    return true;
}

bool JpegStripWriter::writeRows(const uint32_t* first, size_t stride, int count)
{
    State& s = *m_state;
    if (!s.created || count < 0 || JDIMENSION(count) > s.info.image_height - s.info.next_scanline)
        return false;
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    for (int r = 0; r < count; ++r) {
        JSAMPROW line =
            reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(first + size_t(r) * stride));
        jpeg_write_scanlines(&s.info, &line, 1);
    }
    return true;
}

bool JpegStripWriter::finish()
{
    return completeScan() && m_state->close();
}

bool JpegStripWriter::completeScan()
{
    State& s = *m_state;
    if (!s.created || s.info.next_scanline < s.info.image_height)
        return false;
    if (setjmp(s.errors.recovery)) {
        s.close();
        return false;
    }
    jpeg_finish_compress(&s.info);
    return true;
}

bool writeJpegBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        jpeg_library::reportWriteError();
    return written && closed;
}

}  // namespace tavelune
