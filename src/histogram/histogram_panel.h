// The histogram and EXIF summary panel without its window: the canvas, its drawing and the worker.
// Layer histogram: draws with the overlay text canvas, so it sits above overlay and exif.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engine/image.h"
#include "overlay/text_canvas.h"

namespace tavelune {

class ExifData;

inline constexpr int kHistogramWidth = 258;
inline constexpr int kHistogramHeight = 135;
/// Rows 0 to 106: the graph, base line and ramp without the text rows.
inline constexpr int kHistogramGraphRows = 107;

/// Exposure-program code of the summary: "M", "P", "Av"... or "--".
const char* exposureProgramCode(int program);

/// Seven summary items joined with spaces; empty for a null or empty model.
std::string exifSummaryLine(const ExifData* exif);

/// Every count limited to trunc(pixelCount x 0.016), 1.6 % of the pixels.
std::array<std::uint32_t, 1024> clipHistogram(const std::array<std::uint32_t, 1024>& counts,
                                              std::uint32_t pixelCount);

/// Heights (0..100) of one 256-bin histogram after clipping, against the largest clipped
/// count m of all four histograms (m = 0 gives zero heights).
int histogramBarHeight(std::uint32_t clippedCount, std::uint32_t m);

/// The panel's model. Drawing happens on the calculation thread and in DrawSummary; paint()
/// and the copies may run meanwhile from the window's thread.
class HistogramPanel {
public:
    /// Starts the worker; returns false when the thread cannot be started.
    using ThreadStarter = std::function<bool(std::thread& thread, std::function<void()> work)>;

    HistogramPanel();
    ~HistogramPanel();
    HistogramPanel(const HistogramPanel&) = delete;
    HistogramPanel& operator=(const HistogramPanel&) = delete;

    /// Stops a running calculation, then counts and draws picture (may be null) on a worker.
    /// Both pointers must stay valid and unchanged until the calculation ends or is stopped.
    /// Throws CCorvaneError when the thread cannot be started.
    void StartHistogram(const Image* picture, const ExifData* exif);
    /// Asks the worker to stop and waits until it has ended.
    void StopHistogram();
    /// Waits until the worker has finished on its own (for callers without a window).
    void WaitForHistogram();
    bool IsCalculating() const { return m_running.load(); }
    /// A stop has been asked for and the worker has not yet ended.
    bool IsStopping() const { return m_stop.load() != 0; }
    /// Redraws the two text rows; with repaint the window is invalidated.
    void DrawSummary(const Image* picture, const ExifData* exif, bool repaint);

    /// Copies the canvas into the window's picture at (0, 0), with "Calculating..." over it
    /// while the worker runs.
    void paint(Image& window);
    /// The two copy commands: the graph part (258 x 107) or the whole canvas.
    Image copyGraph();
    Image copyAll();

    /// The four histograms (luma, red, green, blue) of the last calculation, unclipped.
    const std::array<std::uint32_t, 1024>& counts() const { return m_counts; }
    /// Called (possibly from the worker) whenever the window should repaint.
    void setInvalidate(std::function<void()> invalidate) { m_invalidate = std::move(invalidate); }
    void setThreadStarter(ThreadStarter starter) { m_startThread = std::move(starter); }
    /// Chooses the texts' font; the default is the one the panel picks on creation.
    bool setFont(const std::string& face, int points);

private:
    void calculate(const Image* picture, const ExifData* exif);
    void drawFrame();
    void drawGraph(std::uint32_t pixelCount);
    void drawSummaryLocked(const Image* picture, const ExifData* exif);
    void clearRect(int x, int y, int w, int h);
    void invalidate();
    Image copyRows(int rows);

    TextCanvas m_canvas;
    TextCanvas m_frame;        // what paint() shows: the canvas plus "Calculating..."
    std::mutex m_canvasMutex;  // the canvas is drawn by the worker and read by the window
    std::array<std::uint32_t, 1024> m_counts{};
    std::atomic<bool> m_running{false};
    std::atomic<int> m_stop{0};
    std::thread m_thread;
    std::function<void()> m_invalidate;
    ThreadStarter m_startThread;
};

}  // namespace tavelune
