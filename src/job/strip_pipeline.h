// Decode, film, sharpen and encode overlapped strip by strip, in bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tavelune {

class ConvolutionFilter;
class JpegStripWriter;
class StripSource;
class PointwiseFilm;
class SrgbConversion;

enum class StripPipelineResult { Done, ReadFailed, WriteFailed, NoMemory, Cancelled };

/// The functions are called on the calling thread; each may be empty.
struct StripPipelineHooks {
    std::function<void(int rowsWritten)> rowsWritten;  // after each strip the writer took
    std::function<bool()> cancelled;                   // looked at between strips
    // Before the reader (false) or the writer (true) is called: the file a message is about.
    std::function<void(bool writing)> codecTurn;
    // Run over the decoded rows before the film, on the film's threads (a picture turned from
    // its profile into sRGB); may be null.
    const SrgbConversion* beforeFilm = nullptr;
};

/// Rows read so far in one strip: each strip handed to a film thread may cost a thread switch,
/// while a ring of strips stays a few megabytes.
inline constexpr int kPipelineStripRows = 32;

/// Where the finished rows go, top first: a JPEG writer, or a picture being assembled.
class StripSink {
public:
    virtual ~StripSink() = default;
    /// count rows at first, first + stride, ... (stride in pixels); false stops the work.
    virtual bool writeRows(const uint32_t* first, size_t stride, int count) = 0;
    /// After the last row.
    virtual bool finish() = 0;
};

/// Reads every row of the source, runs film over it and, when sharpen is given, the
/// convolution with the picture's edges clamped as ConvolutionFilter::apply clamps them, and
/// hands the rows to sink (same width and height) in order: the same pixels as the
/// whole-picture film step, holding a fixed ring of strips. The reader and the sink are used
/// on the calling thread only, the film and the convolution on up to threadCount threads.
/// Both are finished on success; on failure the sink is left unfinished.
StripPipelineResult runStripPipeline(StripSource& reader, StripSink& sink,
                                     const PointwiseFilm& film, const ConvolutionFilter* sharpen,
                                     const StripPipelineHooks& hooks, int threadCount);

/// The same into a JPEG writer opened at the reader's size.
StripPipelineResult runStripPipeline(StripSource& reader, JpegStripWriter& writer,
                                     const PointwiseFilm& film, const ConvolutionFilter* sharpen,
                                     const StripPipelineHooks& hooks, int threadCount);

}  // namespace tavelune
