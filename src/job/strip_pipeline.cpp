// Decode, film, sharpen and encode overlapped strip by strip. The calling thread owns the
// reader and the writer (their messages then come from the thread that started the work, as
// with the whole-picture codecs) and helps with the film when neither can move; helper
// threads run the film and the convolution on strips that are ready for them.
#include "job/strip_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/image.h"
#include "engine/jpeg_strips.h"
#include "engine/strip_source.h"
#include "film/convolution_filter.h"
#include "engine/colour_profile.h"
#include "film/pointwise_film.h"

namespace tavelune {
namespace {

constexpr int kMaxHelpers = 7;

struct Task {
    enum Kind { Film, Sharpen } kind;
    int strip;
};

class Pipeline {
public:
    Pipeline(StripSource& reader, StripSink& sink, const PointwiseFilm& film,
             const ConvolutionFilter* sharpen, const StripPipelineHooks& hooks)
        : m_reader(reader),
          m_sink(sink),
          m_film(film),
          m_sharpen(sharpen),
          m_hooks(hooks),
          m_width(reader.width()),
          m_height(reader.height()),
          m_strips((m_height + kPipelineStripRows - 1) / kPipelineStripRows),
          m_reachRows(sharpen ? sharpen->reachRows() : 0),
          m_reachStrips((m_reachRows + kPipelineStripRows - 1) / kPipelineStripRows)
    {
    }

    ~Pipeline() { freePixels(m_buffer); }

    StripPipelineResult run(int threadCount);

private:
    size_t stripPixels() const { return size_t(kPipelineStripRows) * size_t(m_width); }
    int slotOf(int strip) const { return strip % m_slots; }
    // Each slot holds the decoded rows then, with sharpening, the sharpened ones; and the
    // film's rows, which the neighbours' convolution still reads.
    uint32_t* decodedRows(int strip) const
    {
        return m_buffer + size_t(slotOf(strip)) * 2 * stripPixels();
    }
    uint32_t* filmedRows(int strip) const { return decodedRows(strip) + stripPixels(); }
    int rowsIn(int strip) const
    {
        return std::min(kPipelineStripRows, m_height - strip * kPipelineStripRows);
    }
    const uint32_t* filmedRow(int y) const
    {
        return filmedRows(y / kPipelineStripRows) +
               size_t(y % kPipelineStripRows) * size_t(m_width);
    }
    const uint32_t* finishedRows(int strip) const
    {
        return m_sharpen ? decodedRows(strip) : filmedRows(strip);
    }

    // The rest run with m_mutex held.
    bool slotFree(int strip) const
    {
        // The strip that last used the slot must be written, and so must every strip whose
        // convolution read it.
        return m_written >= strip - m_slots + 1 + m_reachStrips;
    }
    bool convolutionReady(int strip) const
    {
        const int first = std::max(0, strip - m_reachStrips);
        const int last = std::min(m_strips - 1, strip + m_reachStrips);
        for (int s = first; s <= last; ++s)
            if (!m_filmed[size_t(s)])
                return false;
        return true;
    }
    bool writable(int strip) const
    {
        return m_sharpen ? bool(m_sharpened[size_t(strip)]) : bool(m_filmed[size_t(strip)]);
    }
    bool takeTask(Task& task)
    {
        if (m_nextFilm < m_read) {
            task = {Task::Film, m_nextFilm++};
            return true;
        }
        if (m_sharpen && m_nextSharpen < m_strips && convolutionReady(m_nextSharpen)) {
            task = {Task::Sharpen, m_nextSharpen++};
            return true;
        }
        return false;
    }
    void markDone(const Task& task)
    {
        (task.kind == Task::Film ? m_filmed : m_sharpened)[size_t(task.strip)] = 1;
    }
    bool taskReady() const
    {
        return m_nextFilm < m_read ||
               (m_sharpen && m_nextSharpen < m_strips && convolutionReady(m_nextSharpen));
    }
    bool readable() const { return m_read < m_strips && slotFree(m_read); }
    // The calling thread's next step needs no one else.
    bool callerCanMove() const { return writable(m_written) || readable() || taskReady(); }
    // Handing strips over in batches saved thread switches but cost wall time on a loaded
    // machine, where a woken helper starts late: each task wakes one at once.
    void wakeHelperForTask()
    {
        if (m_idleHelpers > 0 && taskReady())
            m_work.notify_one();
    }

    void runTask(const Task& task) const;
    void helperLoop();

    StripSource& m_reader;
    StripSink& m_sink;
    const PointwiseFilm& m_film;
    const ConvolutionFilter* m_sharpen;
    const StripPipelineHooks& m_hooks;
    const int m_width;
    const int m_height;
    const int m_strips;
    const int m_reachRows;
    const int m_reachStrips;
    int m_slots = 0;
    uint32_t* m_buffer = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_work;      // helpers wait here for tasks
    std::condition_variable m_progress;  // the calling thread waits here
    int m_idleHelpers = 0;
    bool m_callerWaiting = false;
    std::vector<char> m_filmed;     // by strip
    std::vector<char> m_sharpened;  // by strip
    int m_read = 0;
    int m_nextFilm = 0;
    int m_nextSharpen = 0;
    int m_written = 0;
    bool m_stop = false;
};

void Pipeline::runTask(const Task& task) const
{
    const int rows = rowsIn(task.strip);
    if (task.kind == Task::Film) {
        if (m_hooks.beforeFilm)
            m_hooks.beforeFilm->convert(decodedRows(task.strip), size_t(rows) * size_t(m_width));
        m_film.run(decodedRows(task.strip), filmedRows(task.strip), size_t(rows) * size_t(m_width));
        return;
    }
    // The decoded rows of this strip are spent once its film has run: the sharpened rows go there.
    uint32_t* out = decodedRows(task.strip);
    const int span = 2 * m_reachRows + 1;
    const uint32_t* neighbours[2 * kPipelineStripRows + 1];
    std::vector<const uint32_t*> wide;
    const uint32_t** rowOf = neighbours;
    if (span > int(std::size(neighbours))) {
        wide.resize(size_t(span));
        rowOf = wide.data();
    }
    const int top = task.strip * kPipelineStripRows;
    for (int r = 0; r < rows; ++r) {
        const int y = top + r;
        for (int k = 0; k < span; ++k)
            rowOf[k] = filmedRow(std::clamp(y + k - m_reachRows, 0, m_height - 1));
        m_sharpen->convolveRow(rowOf, out + size_t(r) * size_t(m_width), m_width);
    }
}

void Pipeline::helperLoop()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        Task task;
        if (!takeTask(task)) {
            ++m_idleHelpers;
            m_work.wait(lock);
            --m_idleHelpers;
            continue;
        }
        lock.unlock();
        runTask(task);
        lock.lock();
        markDone(task);
        if (m_callerWaiting && callerCanMove())
            m_progress.notify_one();
    }
}

StripPipelineResult Pipeline::run(int threadCount)
{
    if (m_width < 1 || m_height < 1)
        return StripPipelineResult::ReadFailed;
    // One thread reads and writes; past a few helpers the film outruns it, and each helper
    // adds two strips to the ring.
    const int helpers = std::clamp(threadCount - 1, 0, std::min(kMaxHelpers, m_strips - 1));
    m_slots = std::max(2 * helpers + 4, 2 * m_reachStrips + 4);
    m_buffer = allocatePixels(size_t(m_slots) * 2 * stripPixels());
    if (!m_buffer)
        return StripPipelineResult::NoMemory;
    std::vector<std::thread> threads;
    try {
        m_filmed.assign(size_t(m_strips), 0);
        m_sharpened.assign(size_t(m_strips), 0);
        threads.reserve(size_t(helpers));
    } catch (const std::bad_alloc&) {
        return StripPipelineResult::NoMemory;
    }
    for (int i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back([this] { helperLoop(); });
        } catch (const std::system_error&) {
            break;  // fewer helpers; the calling thread takes their share
        }
    }

    auto turn = [&](bool writing) {
        if (m_hooks.codecTurn)
            m_hooks.codecTurn(writing);
    };
    StripPipelineResult result = StripPipelineResult::Done;
    std::unique_lock lock(m_mutex);
    while (m_written < m_strips) {
        if (m_hooks.cancelled && m_hooks.cancelled()) {
            result = StripPipelineResult::Cancelled;
            break;
        }
        if (writable(m_written)) {
            const int strip = m_written;
            lock.unlock();
            turn(true);
            const bool ok = m_sink.writeRows(finishedRows(strip), size_t(m_width), rowsIn(strip));
            if (ok && m_hooks.rowsWritten)
                m_hooks.rowsWritten(strip * kPipelineStripRows + rowsIn(strip));
            lock.lock();
            if (!ok) {
                result = StripPipelineResult::WriteFailed;
                break;
            }
            ++m_written;
            continue;
        }
        if (readable()) {
            const int strip = m_read;
            lock.unlock();
            turn(false);
            bool ok = m_reader.readRows(decodedRows(strip), size_t(m_width), rowsIn(strip));
            if (ok && strip == m_strips - 1)
                ok = m_reader.finish();
            lock.lock();
            if (!ok) {
                result = StripPipelineResult::ReadFailed;
                break;
            }
            ++m_read;
            wakeHelperForTask();
            continue;
        }
        Task task;
        if (takeTask(task)) {
            lock.unlock();
            runTask(task);
            lock.lock();
            markDone(task);
            wakeHelperForTask();
            continue;
        }
        // Nothing to do here means the helpers hold every task that is ready.
        m_callerWaiting = true;
        m_progress.wait(lock);
        m_callerWaiting = false;
    }
    m_stop = true;
    m_work.notify_all();
    lock.unlock();
    for (std::thread& thread : threads) thread.join();
    if (result != StripPipelineResult::Done)
        return result;
    turn(true);
    return m_sink.finish() ? StripPipelineResult::Done : StripPipelineResult::WriteFailed;
}

class WriterSink final : public StripSink {
public:
    explicit WriterSink(JpegStripWriter& writer) : m_writer(writer) {}
    bool writeRows(const uint32_t* first, size_t stride, int count) override
    {
        return m_writer.writeRows(first, stride, count);
    }
    bool finish() override { return m_writer.finish(); }

private:
    JpegStripWriter& m_writer;
};

}  // namespace

StripPipelineResult runStripPipeline(StripSource& reader, StripSink& sink,
                                     const PointwiseFilm& film, const ConvolutionFilter* sharpen,
                                     const StripPipelineHooks& hooks, int threadCount)
{
    Pipeline pipeline(reader, sink, film, sharpen, hooks);
    return pipeline.run(threadCount);
}

StripPipelineResult runStripPipeline(StripSource& reader, JpegStripWriter& writer,
                                     const PointwiseFilm& film, const ConvolutionFilter* sharpen,
                                     const StripPipelineHooks& hooks, int threadCount)
{
    WriterSink sink(writer);
    return runStripPipeline(reader, sink, film, sharpen, hooks, threadCount);
}

}  // namespace tavelune
