// Counting and drawing the histogram panel's canvas, on a worker thread.
#include "histogram/histogram_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "engine/corvane_error.h"
#include "engine/format_number.h"
#include "exif/exif_data.h"
#include "exif/exif_list.h"
#include "exif/exif_messages.h"
#include "pixel/luma_histogram.h"

namespace tavelune {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// Texts draw only their glyphs, so a tall font cannot blot out the grey lines.
constexpr uint32_t kTransparent = 0;
constexpr uint32_t kChannelColours[3] = {0xB0FF0000, 0xB000FF00, 0xB00000FF};
constexpr int kBaseLine = 101;

std::string exifText(const ExifData& exif, std::uint16_t tag)
{
    const ExifEntry* entry = exif.FindEntry(kExifIfd, tag);
    return entry != nullptr ? entry->GetText("en_US") : std::string();
}

// The first of the tags that has a text, else the fallback.
std::string firstText(const ExifData& exif, std::uint16_t first, std::uint16_t second,
                      const char* fallback)
{
    std::string text = exifText(exif, first);
    if (text.empty())
        text = exifText(exif, second);
    return text.empty() ? fallback : text;
}

bool defaultThreadStarter(std::thread& thread, std::function<void()> work)
{
    try {
        thread = std::thread(std::move(work));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace

const char* exposureProgramCode(int program)
{
    static constexpr const char* kCodes[] = {"--", "M", "P", "Av", "Tv", "DEP", "AM", "PM", "LM"};
    return program >= 1 && program <= 8 ? kCodes[program] : kCodes[0];
}

std::string exifSummaryLine(const ExifData* exif)
{
    if (exif == nullptr || exif->IsEmpty())
        return {};
    const ExifEntry* program = exif->FindEntry(kExifIfd, kTagExposureProgram);
    const ExifEntry* whiteBalance = exif->FindEntry(kExifIfd, kTagWhiteBalance);
    const std::string iso = exifText(*exif, kTagISOSpeedRatings);
    const std::string items[] = {
        exposureProgramCode(program != nullptr ? int(program->GetNumber(0)) : 0),
        firstText(*exif, kTagExposureTime, kTagShutterSpeedValue, "--\""),
        firstText(*exif, kTagFNumber, kTagApertureValue, "F--"),
        firstText(*exif, kTagExposureBiasValue, kTagExposureBiasValue, "+0EV"),
        firstText(*exif, kTagFocalLengthIn35mmFilm, kTagFocalLength, "--mm"),
        "ISO" + (iso.empty() ? std::string("--") : iso),
        whiteBalance != nullptr && whiteBalance->GetNumber(0) == 0 ? "AWB" : "",
    };
    std::string line = items[0];
    for (std::size_t i = 1; i < std::size(items); ++i) line += " " + items[i];
    return line;
}

std::array<std::uint32_t, 1024> clipHistogram(const std::array<std::uint32_t, 1024>& counts,
                                              std::uint32_t pixelCount)
{
    const auto limit = std::uint32_t(double(pixelCount) * 0.016);
    std::array<std::uint32_t, 1024> clipped;
    for (std::size_t i = 0; i < clipped.size(); ++i) clipped[i] = std::min(counts[i], limit);
    return clipped;
}

int histogramBarHeight(std::uint32_t clippedCount, std::uint32_t m)
{
    if (m == 0)
        return 0;
    const double height = std::ceil(double(clippedCount) * 100.0 / double(m));
    return int(std::min(height, 100.0));
}

HistogramPanel::HistogramPanel() : m_startThread(defaultThreadStarter)
{
    m_canvas.create(kHistogramWidth, kHistogramHeight, 96.0f);
    m_canvas.fill(kBlack);
    m_frame.create(kHistogramWidth, kHistogramHeight, 96.0f);
    setFont("MS Gothic", 8);
}

HistogramPanel::~HistogramPanel()
{
    StopHistogram();
}

bool HistogramPanel::setFont(const std::string& face, int points)
{
    std::lock_guard lock(m_canvasMutex);
    return m_canvas.setFontPoints(face, points, false, false, false, false) &&
           m_frame.setFontPoints(face, points, false, false, false, false);
}

void HistogramPanel::StartHistogram(const Image* picture, const ExifData* exif)
{
    StopHistogram();
    // Cleared before the worker exists, so a repaint in between cannot show the previous graph
    // under "Calculating...".
    {
        std::lock_guard lock(m_canvasMutex);
        drawFrame();
    }
    m_running = true;
    m_stop = 0;
    if (!m_startThread(m_thread, [this, picture, exif] { calculate(picture, exif); })) {
        m_running = false;
        throw CCorvaneError(messages::kHistogramThreadFailed);
    }
}

// Joining instead of polling the flag: a worker that has just finished would never clear a
// flag set after its end, and the wait would not return.
void HistogramPanel::StopHistogram()
{
    if (!m_thread.joinable())
        return;
    m_stop = 1;
    m_thread.join();
    m_stop = 0;
    m_running = false;
}

void HistogramPanel::WaitForHistogram()
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
}

void HistogramPanel::calculate(const Image* picture, const ExifData* exif)
{
    const bool hasPicture = picture != nullptr && !picture->isEmpty();
    bool stopped = false;
    if (hasPicture) {
        invalidate();
        // The counter takes at most 2^32 - 1 pixels a call; bigger pictures add up in runs.
        std::array<std::uint32_t, 1024> run{};
        m_counts.fill(0);
        const std::uint32_t* pixels = picture->pixels();
        std::size_t left = picture->pixelCount();
        while (left > 0 && !stopped) {
            const auto n = std::uint32_t(std::min<std::size_t>(left, 0xFFFFFFFFu));
            lumaHistogram(run.data(), pixels, n, &m_stop);
            for (std::size_t i = 0; i < run.size(); ++i) m_counts[i] += run[i];
            pixels += n;
            left -= n;
            stopped = m_stop.load() != 0;
        }
    }
    if (!stopped) {
        std::lock_guard lock(m_canvasMutex);
        if (hasPicture)
            drawGraph(std::uint32_t(std::min<std::size_t>(picture->pixelCount(), 0xFFFFFFFFu)));
        drawSummaryLocked(picture, exif);
    }
    m_running = false;
    invalidate();
}

void HistogramPanel::clearRect(int x, int y, int w, int h)
{
    for (int row = y; row < y + h; ++row) std::fill_n(m_canvas.rowFromTop(row) + x, w, kBlack);
}

void HistogramPanel::drawFrame()
{
    m_canvas.resetClip();
    m_canvas.fill(kBlack);
    m_canvas.drawRectangle(0, 0, kHistogramWidth, kHistogramHeight, kGrey, 0);
    for (int x = 32; x <= 224; x += 32) m_canvas.drawLine(x, 1, x, 100, kGrey);
    for (int y = 25; y <= 75; y += 25) m_canvas.drawLine(1, y, 256, y, kGrey);
    m_canvas.drawLine(1, kBaseLine, 256, kBaseLine, kGrey);
    for (int i = 0; i < 256; ++i) {
        const uint32_t level = uint32_t(std::max(i, 1));
        m_canvas.drawLine(i + 1, 102, i + 1, 105, kBlack | level << 16 | level << 8 | level);
    }
    m_canvas.drawLine(1, 106, 256, 106, kGrey);
    m_canvas.drawLine(1, 120, 256, 120, kGrey);
}

void HistogramPanel::drawGraph(std::uint32_t pixelCount)
{
    const std::array<std::uint32_t, 1024> clipped = clipHistogram(m_counts, pixelCount);
    const std::uint32_t m = *std::max_element(clipped.begin(), clipped.end());
    int previous[3] = {kBaseLine, kBaseLine, kBaseLine};
    for (int i = 0; i < 256; ++i) {
        const int x = i + 1;
        m_canvas.drawLine(x, kBaseLine, x, kBaseLine - histogramBarHeight(clipped[i], m), kWhite);
        for (int c = 0; c < 3; ++c) {
            const int y = kBaseLine - histogramBarHeight(clipped[256 * (c + 1) + i], m);
            m_canvas.drawLine(i == 0 ? 1 : x - 1, previous[c], x, y, kChannelColours[c]);
            previous[c] = y;
        }
    }
    m_canvas.drawLine(1, kBaseLine, 256, kBaseLine, kGrey);
}

void HistogramPanel::DrawSummary(const Image* picture, const ExifData* exif, bool repaint)
{
    {
        std::lock_guard lock(m_canvasMutex);
        drawSummaryLocked(picture, exif);
    }
    if (repaint)
        invalidate();
}

void HistogramPanel::drawSummaryLocked(const Image* picture, const ExifData* exif)
{
    clearRect(1, 107, 256, 13);
    clearRect(1, 121, 256, 13);
    auto drawRight = [this](const std::string& text) {
        const int width = m_canvas.measureTextLine(text).width;
        m_canvas.drawTextLine(kHistogramWidth - width - 4, 122, text, kWhite, kTransparent,
                              kAntialiasAuto);
    };
    if (exif != nullptr && !exif->IsEmpty()) {
        m_canvas.drawTextLine(4, 109, exifSummaryLine(exif), kWhite, kTransparent, kAntialiasAuto);
        const std::string date = exifText(*exif, kTagDateTimeOriginal);
        if (!date.empty())
            drawRight(date);
    }
    if (picture == nullptr || picture->isEmpty()) {
        m_canvas.drawTextLine(4, 109, messages::kHistogramIdle, kWhite, kTransparent,
                              kAntialiasAuto);
        return;
    }
    char size[96];
    std::snprintf(size, sizeof size, "%d x %d  %sDPI", picture->width(), picture->height(),
                  formatNumber(picture->dpi(), 3).c_str());
    m_canvas.drawTextLine(4, 123, size, kWhite, kTransparent, kAntialiasAuto);
    if (exif != nullptr && exif->IsEmpty() && exif->fileStatus().HasPath())
        drawRight(localTimeText(exif->fileStatus().info.st_mtime));
}

void HistogramPanel::invalidate()
{
    if (m_invalidate)
        m_invalidate();
}

void HistogramPanel::paint(Image& window)
{
    std::lock_guard lock(m_canvasMutex);
    // The text goes over a copy, so the canvas stays as the worker draws it.
    std::copy_n(m_canvas.pixels(), m_canvas.pixelCount(), m_frame.pixels());
    if (m_running) {
        const TextSize size = m_frame.measureTextLine(messages::kHistogramCalculating);
        m_frame.drawTextLine((kHistogramWidth - size.width) / 2, kHistogramHeight / 2 - size.height,
                             messages::kHistogramCalculating, kWhite, kTransparent, kAntialiasAuto);
    }
    window.copyImage(0, 0, m_frame, 0, 0, kHistogramWidth, kHistogramHeight, kBlack);
}

Image HistogramPanel::copyRows(int rows)
{
    Image copy;
    std::lock_guard lock(m_canvasMutex);
    if (copy.create(kHistogramWidth, rows, m_canvas.dpi()))
        copy.copyImage(0, 0, m_canvas, 0, 0, kHistogramWidth, rows, kBlack);
    return copy;
}

Image HistogramPanel::copyGraph()
{
    return copyRows(kHistogramGraphRows);
}

Image HistogramPanel::copyAll()
{
    return copyRows(kHistogramHeight);
}

}  // namespace tavelune
