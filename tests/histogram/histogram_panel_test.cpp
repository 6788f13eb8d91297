// The histogram panel: clipping and heights, the canvas layout, the summary rows and the worker.
#include "histogram/histogram_panel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>

#include "engine/corvane_error.h"
#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "pixel/luma.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

Image calculated(const Image* picture, const ExifData* exif)
{
    HistogramPanel panel;
    panel.StartHistogram(picture, exif);
    panel.WaitForHistogram();
    return panel.copyAll();
}

bool anyLitPixel(const Image& canvas, int x, int y, int w, int h)
{
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            if ((canvas.pixelAt(column, row) & 0x00FFFFFF) != 0)
                return true;
    return false;
}

void addEntry(ExifData& exif, std::uint16_t tag, std::uint16_t type,
              std::vector<std::uint8_t> bytes, std::uint32_t count)
{
    auto entry = std::make_unique<ExifEntry>();
    ASSERT_TRUE(entry->SetFromRaw(kExifIfd, tag, type, count, bytes.data(), exif::kIntel));
    exif.entries().push_back(std::move(entry));
}

void addShort(ExifData& exif, std::uint16_t tag, std::uint16_t value)
{
    addEntry(exif, tag, kShort, {std::uint8_t(value), std::uint8_t(value >> 8)}, 1);
}

TEST(HistogramPanel, ClipsAtOnePointSixPercentAndScalesToTheLargest)
{
    std::array<std::uint32_t, 1024> counts{};
    counts[10] = 5000;
    counts[11] = 160;
    counts[12] = 161;
    counts[300] = 100;
    counts[1023] = 1;
    const std::array<std::uint32_t, 1024> clipped = clipHistogram(counts, 100 * 100);
    EXPECT_EQ(clipped[10], 160u);
    EXPECT_EQ(clipped[11], 160u);
    EXPECT_EQ(clipped[12], 160u);
    EXPECT_EQ(clipped[300], 100u);
    EXPECT_EQ(clipped[1023], 1u);
    EXPECT_EQ(clipHistogram(counts, 62)[10], 0u);  // 0.992 truncates to 0

    const struct {
        std::uint32_t count, m;
        int height;
    } cases[] = {{160, 160, 100}, {100, 160, 63},   {1, 160, 1}, {0, 160, 0},
                 {1, 1000000, 1}, {999, 1000, 100}, {5, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(histogramBarHeight(c.count, c.m), c.height) << c.count << " / " << c.m;
}

TEST(HistogramPanel, OneColourReachesFullHeight)
{
    const Image picture = test::solidPicture(40, 30, 0xFFFF0000);
    HistogramPanel panel;
    panel.StartHistogram(&picture, nullptr);
    panel.WaitForHistogram();
    EXPECT_FALSE(panel.IsCalculating());
    const int luma = lumaOf(0xFFFF0000u);
    EXPECT_EQ(panel.counts()[std::size_t(luma)], 1200u);
    EXPECT_EQ(panel.counts()[256 + 255], 1200u);
    EXPECT_EQ(panel.counts()[512], 1200u);

    const Image canvas = panel.copyAll();
    for (int y = 1; y <= 100; ++y) EXPECT_EQ(canvas.pixelAt(luma + 1, y), kWhite) << y;
    EXPECT_EQ(canvas.pixelAt(luma + 1, 101), kGrey);  // base line drawn over the bar's foot
    // The red line climbs to the top in the last column, semi-transparent over black.
    EXPECT_EQ(canvas.pixelAt(256, 1) & 0x00FFFFFF,
              Image::blendPixel(kBlack, 0xB0FF0000) & 0x00FFFFFF);
    EXPECT_EQ(canvas.pixelAt(luma + 3, 40), kBlack);
}

TEST(HistogramPanel, DrawsFrameGridRampAndLines)
{
    const Image canvas = calculated(nullptr, nullptr);
    ASSERT_EQ(canvas.width(), 258);
    ASSERT_EQ(canvas.height(), 135);
    const struct {
        int x, y;
        uint32_t colour;
    } cases[] = {{0, 0, kGrey},        {257, 134, kGrey},      {0, 70, kGrey},
                 {257, 70, kGrey},     {32, 1, kGrey},         {224, 100, kGrey},
                 {33, 10, kBlack},     {1, 25, kGrey},         {256, 75, kGrey},
                 {100, 51, kBlack},    {10, 101, kGrey},       {1, 102, 0xFF010101},
                 {2, 103, 0xFF010101}, {129, 104, 0xFF808080}, {256, 105, kWhite},
                 {50, 106, kGrey},     {50, 120, kGrey},       {160, 101, kGrey}};
    for (const auto& c : cases) EXPECT_EQ(canvas.pixelAt(c.x, c.y), c.colour) << c.x << ", " << c.y;
    EXPECT_FALSE(anyLitPixel(canvas, 1, 1, 31, 24));  // no bars without a picture
}

TEST(HistogramPanel, SummaryLineItems)
{
    ExifData exif;
    EXPECT_EQ(exifSummaryLine(&exif), "");
    EXPECT_EQ(exifSummaryLine(nullptr), "");
    addShort(exif, 0x8822, 5);
    EXPECT_EQ(exifSummaryLine(&exif), "DEP --\" F-- +0EV --mm ISO-- ");
    addShort(exif, 0xA403, 0);
    addShort(exif, 0x8827, 400);
    addEntry(exif, 0x829D, kRational, {28, 0, 0, 0, 10, 0, 0, 0}, 1);
    EXPECT_EQ(exifSummaryLine(&exif).substr(0, 8), "DEP --\" ");
    EXPECT_NE(exifSummaryLine(&exif).find(" +0EV --mm ISO400 AWB"), std::string::npos);

    const struct {
        int program;
        const char* code;
    } codes[] = {{0, "--"}, {1, "M"},  {2, "P"},  {3, "Av"}, {4, "Tv"}, {5, "DEP"},
                 {6, "AM"}, {7, "PM"}, {8, "LM"}, {9, "--"}, {-1, "--"}};
    for (const auto& c : codes) EXPECT_STREQ(exposureProgramCode(c.program), c.code) << c.program;

    ExifData sample;
    ASSERT_TRUE(sample.LoadExif(test::samplePath("coffee-exif.jpg")));
    EXPECT_EQ(exifSummaryLine(&sample), "Av 1/125\" F5.6 -0.67EV 50mm ISO200 AWB");
}

TEST(HistogramPanel, TextRowsFollowPictureAndExif)
{
    const Image picture = test::solidPicture(20, 10, 0xFF336699);
    ExifData noExif;  // names a file but holds no entries
    EXPECT_FALSE(noExif.LoadExif(test::samplePath("chelsea.jpg")));
    ASSERT_TRUE(noExif.fileStatus().HasPath());
    ExifData sample;
    ASSERT_TRUE(sample.LoadExif(test::samplePath("coffee-exif.jpg")));

    const struct {
        const char* name;
        const Image* picture;
        const ExifData* exif;
        bool row1, row2Left, row2Right;
    } cases[] = {
        {"nothing", nullptr, nullptr, true, false, false},
        {"picture only", &picture, nullptr, false, true, false},
        {"picture, empty EXIF with file", &picture, &noExif, false, true, true},
        {"picture and EXIF", &picture, &sample, true, true, true},
        {"EXIF without picture", nullptr, &sample, true, false, true},
    };
    for (const auto& c : cases) {
        const Image canvas = calculated(c.picture, c.exif);
        EXPECT_EQ(anyLitPixel(canvas, 1, 107, 256, 13), c.row1) << c.name;
        EXPECT_EQ(anyLitPixel(canvas, 1, 121, 100, 13), c.row2Left) << c.name;
        EXPECT_EQ(anyLitPixel(canvas, 150, 121, 107, 13), c.row2Right) << c.name;
        EXPECT_EQ(canvas.pixelAt(40, 120), kGrey) << c.name;  // texts never cover the lines
    }
}

TEST(HistogramPanel, CopiesGraphPartAndWholeCanvas)
{
    const Image picture = test::solidPicture(64, 64, 0xFF20A040);
    HistogramPanel panel;
    panel.StartHistogram(&picture, nullptr);
    panel.WaitForHistogram();
    const Image graph = panel.copyGraph();
    const Image all = panel.copyAll();
    ASSERT_EQ(graph.width(), 258);
    ASSERT_EQ(graph.height(), 107);
    ASSERT_EQ(all.height(), 135);
    for (int y = 0; y < 107; ++y)
        for (int x = 0; x < 258; ++x)
            ASSERT_EQ(graph.pixelAt(x, y), all.pixelAt(x, y)) << x << ", " << y;
    EXPECT_EQ(graph.dpi(), 96.0f);

    Image window;
    ASSERT_TRUE(window.create(300, 200, 96.0f));
    window.fill(0xFF123456);
    panel.paint(window);
    EXPECT_EQ(window.pixelAt(0, 0), kGrey);
    EXPECT_EQ(window.pixelAt(100, 60), all.pixelAt(100, 60));
    EXPECT_EQ(window.pixelAt(270, 150), 0xFF123456u);
}

// The worker waits in its first repaint request until the stop is asked for, so the stop
// always lands before the first pixel.
TEST(HistogramPanel, StopEndsTheCalculationBeforeItDraws)
{
    const Image picture = test::solidPicture(300, 200, 0xFFFFFFFF);
    HistogramPanel panel;
    std::atomic<int> calls{0};
    panel.setInvalidate([&] {
        if (calls++ != 0)
            return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!panel.IsStopping() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    panel.StartHistogram(&picture, nullptr);
    EXPECT_TRUE(panel.IsCalculating());
    panel.StopHistogram();
    EXPECT_FALSE(panel.IsCalculating());
    EXPECT_FALSE(panel.IsStopping());
    EXPECT_EQ(std::accumulate(panel.counts().begin(), panel.counts().end(), 0u), 0u);
    EXPECT_EQ(panel.copyAll().pixelAt(256, 40), kBlack);  // no bar for the white bin

    // A new start after a stop, and one that replaces a calculation still waiting, both run
    // to the end with their own picture.
    calls = 0;
    const Image second = test::solidPicture(10, 10, 0xFF000000);
    panel.StartHistogram(&picture, nullptr);
    panel.StartHistogram(&second, nullptr);
    panel.WaitForHistogram();
    EXPECT_EQ(panel.counts()[0], 100u);
    EXPECT_EQ(std::accumulate(panel.counts().begin(), panel.counts().end(), 0u), 400u);
    panel.StopHistogram();  // nothing running: returns at once
    EXPECT_FALSE(panel.IsCalculating());
}

// A repaint between a restart and the worker's first step must not show the previous graph.
TEST(HistogramPanel, RestartClearsThePreviousGraphBeforeTheWorkerRuns)
{
    const Image white = test::solidPicture(20, 20, 0xFFFFFFFF);
    HistogramPanel panel;
    panel.StartHistogram(&white, nullptr);
    panel.WaitForHistogram();
    ASSERT_TRUE(anyLitPixel(panel.copyAll(), 256, 2, 1, 22));

    std::function<void()> held;
    panel.setThreadStarter([&](std::thread& thread, std::function<void()> work) {
        held = std::move(work);
        thread = std::thread([] {});
        return true;
    });
    const Image black = test::solidPicture(20, 20, 0xFF000000);
    panel.StartHistogram(&black, nullptr);
    const Image shown = panel.copyAll();
    EXPECT_FALSE(anyLitPixel(shown, 256, 2, 1, 22));
    EXPECT_FALSE(anyLitPixel(shown, 1, 121, 256, 13));  // the old size line went too
    EXPECT_EQ(shown.pixelAt(32, 40), kGrey);            // the grid is already there
    panel.WaitForHistogram();
    held();
    EXPECT_TRUE(anyLitPixel(panel.copyAll(), 1, 2, 1, 22));  // bin 0 of the black picture
}

TEST(HistogramPanel, ThreadThatCannotStartRaisesTheEngineError)
{
    HistogramPanel panel;
    panel.setThreadStarter([](std::thread&, std::function<void()>) { return false; });
    const Image picture = test::solidPicture(4, 4, 0xFF808080);
    try {
        panel.StartHistogram(&picture, nullptr);
        FAIL() << "no error raised";
    } catch (const CCorvaneError& error) {
        EXPECT_STREQ(error.what(), "Failed to create histogram calc thread");
    }
    EXPECT_FALSE(panel.IsCalculating());
    panel.StopHistogram();

    panel.setThreadStarter([](std::thread& thread, std::function<void()> work) {
        thread = std::thread(std::move(work));
        return true;
    });
    panel.StartHistogram(&picture, nullptr);
    panel.WaitForHistogram();
    EXPECT_EQ(panel.counts()[lumaOf(0xFF808080u)], 16u);
}

}  // namespace
}  // namespace tavelune
