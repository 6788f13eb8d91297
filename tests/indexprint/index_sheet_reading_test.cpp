// The sheet's pictures read on several threads: same bytes, same failures and messages in
// order, the stop flag, and large JPEGs decoded reduced (less aliasing on fine detail).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/png_writer.h"
#include "engine/codec_test_util.h"
#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "engine/image_codec.h"
#include "engine/jpeg_codec.h"
#include "indexprint/fit_rectangle.h"
#include "indexprint/index_sheet.h"
#include "indexprint/sheet_picture_reader.h"
#include "pixel/progress.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

struct Cell {
    int left, top, width, height;
};

Cell cellOf(const IndexSheet& sheet, int index)
{
    const IndexLayout& L = sheet.layout();
    return {L.columnLefts()[size_t(index % L.columns)],
            L.rowTop(index / L.columns, sheet.captionHeight()), L.cellWidth, L.cellHeight};
}

bool sameSheet(const Image& a, const Image& b)
{
    return test::samePixels(a, b) && a.dpi() == b.dpi();
}

class SheetReading : public testing::Test {
protected:
    IndexItem item(const std::string& path)
    {
        IndexItem out;
        EXPECT_TRUE(splitIndexItem(path, out)) << path;
        return out;
    }

    IndexItem save(const std::string& name, const Image& picture)
    {
        const std::string path = m_dir.file(name);
        // JPEG quality, TIFF compression (LZW); BMP takes none.
        const int options = name.ends_with(".jpg") ? 90 : name.ends_with(".tif") ? 5 : 0;
        EXPECT_TRUE(saveImage(path, picture, {}, options)) << name;
        return item(path);
    }

    IndexItem junk(const std::string& name)
    {
        const std::string path = m_dir.file(name);
        test::writeFileBytes(path, std::vector<unsigned char>(500, 0x5A));
        return item(path);
    }

    // BMP, TIFF, PNG and JPEGs too small to be reduced, at odd sizes and both orientations.
    std::vector<IndexItem> ordinaryItems()
    {
        std::vector<IndexItem> items;
        items.push_back(save("a.bmp", test::patternPicture(97, 61, false)));
        items.push_back(save("b.jpg", test::patternPicture(101, 150, false)));
        items.push_back(save("c.tif", test::patternPicture(1, 77, true)));
        items.push_back(item(test::fixturePath("codecs/png-rgb.png")));
        items.push_back(save("d.jpg", test::patternPicture(275, 183, false)));
        items.push_back(item(test::fixturePath("codecs/cmyk.jpg")));
        items.push_back(save("e.bmp", test::patternPicture(300, 1, false)));
        items.push_back(item(test::fixturePath("codecs/grey.jpg")));
        items.push_back(save("f.jpg", test::patternPicture(69, 46, false)));
        return items;
    }

    static bool render(IndexSheet& sheet, const std::vector<IndexItem>& items, int threads,
                       bool reduce, int fitMode = kFitFill, float dpi = 96,
                       Progress* progress = nullptr, const std::atomic<bool>* stop = nullptr)
    {
        sheet.setReading({threads, reduce});
        return sheet.render(0, dpi, "T", "sig", "content", fitMode, 1, nullptr, items, progress,
                            stop);
    }

    test::TempDir m_dir;
    test::MessageCollector m_messages;
};

TEST_F(SheetReading, SameSheetOnAnyNumberOfThreads)
{
    std::vector<IndexItem> items = ordinaryItems();
    for (int fitMode : {kFitFill, kFitInside}) {
        IndexSheet reference;  // one picture at a time, read whole: the sheet as it always was
        ASSERT_TRUE(render(reference, items, 1, false, fitMode));
        for (int threads : {1, 2, 8}) {
            for (bool reduce : {false, true}) {
                IndexSheet sheet;
                ASSERT_TRUE(render(sheet, items, threads, reduce, fitMode));
                EXPECT_TRUE(sameSheet(sheet.sheet(), reference.sheet()))
                    << threads << " threads, reduce " << reduce << ", mode " << fitMode;
            }
        }
    }

    // Reduced JPEGs in the list: still the same on any number of threads.
    items.insert(items.begin() + 2, save("big.jpg", test::patternPicture(700, 470, false)));
    items.push_back(save("tall.jpg", test::patternPicture(301, 900, false)));
    IndexSheet reference;
    ASSERT_TRUE(render(reference, items, 1, true));
    for (int threads : {2, 3, 8}) {
        IndexSheet sheet;
        ASSERT_TRUE(render(sheet, items, threads, true));
        EXPECT_TRUE(sameSheet(sheet.sheet(), reference.sheet())) << threads << " threads";
    }
}

TEST_F(SheetReading, BadFilesInTheMiddleFailInPlaceWithTheirBoxesInOrder)
{
    const Image good = test::patternPicture(40, 30, false);
    const std::vector<IndexItem> items = {save("p0.bmp", good), junk("p1.jpg"),
                                          save("p2.bmp", good), junk("p3.png"),
                                          junk("p4.jpg"),       save("p5.jpg", good)};
    // What opening the bad ones one by one gives, in list order.
    std::vector<Warnings<ImageError>> expected;
    for (size_t i : {1, 3, 4}) {
        ImageHandle handle;
        const ImageStatus opened = handle.open(items[i].path());
        EXPECT_FALSE(opened);
        expected.push_back(imageBoxes(opened));
        ASSERT_FALSE(expected.back().empty());
    }

    IndexSheet reference;
    ASSERT_TRUE(render(reference, items, 1, false));
    for (int threads : {1, 2, 8}) {
        IndexSheet sheet;
        ASSERT_TRUE(render(sheet, items, threads, true));
        EXPECT_EQ(sheet.failedItems(), (std::vector<size_t>{1, 3, 4})) << threads;
        EXPECT_TRUE(sameSheet(sheet.sheet(), reference.sheet())) << threads;
        EXPECT_TRUE(m_messages.messages().empty()) << threads << ": the sheet showed a box";
        const std::vector<SheetPictureBoxes>& boxes = sheet.pictureBoxes();
        ASSERT_EQ(boxes.size(), expected.size()) << threads;
        for (size_t k = 0; k < boxes.size(); ++k) {
            EXPECT_EQ(boxes[k].item, sheet.failedItems()[k]) << threads;
            EXPECT_EQ(boxes[k].path, items[boxes[k].item].path()) << threads;
            ASSERT_EQ(boxes[k].boxes.size(), expected[k].size()) << threads;
            for (size_t b = 0; b < expected[k].size(); ++b)
                EXPECT_EQ(boxes[k].boxes[b].code, expected[k][b].code) << threads;
        }
    }
}

TEST(SheetPictureBoxText, OneBoxNamingTheFileWithTheGravestIcon)
{
    const SheetPictureBox plain =
        sheetPictureBox({1, "/p/a.png", {{ImageError::ReadFailed, "cause"}}});
    EXPECT_EQ(plain.text, std::string(messages::kOpenImageError) + "\n\n/p/a.png");
    EXPECT_TRUE(plain.caption.empty());
    EXPECT_EQ(plain.icon, MessageIcon::Warning);
    const SheetPictureBox fatal = sheetPictureBox(
        {4, "/p/b.jpg", {{ImageError::LibraryFault, "Bogus marker"}, {ImageError::ReadFailed, {}}}});
    EXPECT_EQ(fatal.text, std::string("Bogus marker\n") + messages::kOpenImageError + "\n\n/p/b.jpg");
    EXPECT_EQ(fatal.caption, messages::kJpegFatalCaption);
    EXPECT_EQ(fatal.icon, MessageIcon::Error);
}

TEST_F(SheetReading, StopMidWayEndsPromptlyWithTheDrawnCellsKept)
{
    std::vector<IndexItem> items;
    Image red;
    red.setFillColour(0xFFFF0000);
    ASSERT_TRUE(red.create(30, 20, 72.0f));
    for (int i = 0; i < 30; ++i) items.push_back(save("r" + std::to_string(i) + ".bmp", red));
    for (int threads : {1, 2, 8}) {
        std::atomic<bool> stop{false};
        int drawn = 0;
        Progress progress([&](int position) {
            drawn = position - 1;
            if (drawn == 3)
                stop = true;
        });
        IndexSheet sheet;
        EXPECT_FALSE(render(sheet, items, threads, true, kFitFill, 96, &progress, &stop));
        EXPECT_TRUE(sheet.stopped());
        EXPECT_EQ(drawn, 3) << threads;
        const Cell last = cellOf(sheet, 2), next = cellOf(sheet, 3);
        EXPECT_EQ(sheet.sheet().pixelAt(last.left + 5, last.top + 5), 0xFFFF0000u);
        EXPECT_EQ(sheet.sheet().pixelAt(next.left + 5, next.top + 5), 0xFF000000u);
    }
}

TEST_F(SheetReading, ReducedPictureCoversTheSamePixels)
{
    // Letterboxed 69 x 21 in a 69 x 46 cell and decoded at 1/4 to 250 x 78, whose own shape
    // would give 69 x 22: placed by its stored size, so the rounding moves no edge.
    Image red;
    red.setFillColour(0xFFFF0000);
    ASSERT_TRUE(red.create(1000, 309, 72.0f));
    const std::vector<IndexItem> items = {save("wide.jpg", red)};
    IndexSheet whole, reduced;
    ASSERT_TRUE(render(whole, items, 2, false, kFitInside));
    ASSERT_TRUE(render(reduced, items, 2, true, kFitInside));
    const Cell c = cellOf(whole, 0);
    int covered = 0;
    for (int y = c.top; y < c.top + c.height; ++y)
        for (int x = c.left; x < c.left + c.width; ++x) {
            const auto isRed = [&](const IndexSheet& s) {
                const uint32_t p = s.sheet().pixelAt(x, y);
                return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60;
            };
            EXPECT_EQ(isRed(whole), isRed(reduced)) << x - c.left << ", " << y - c.top;
            covered += isRed(whole) ? 1 : 0;
        }
    EXPECT_GE(covered, 69 * 20);
    EXPECT_LE(covered, 69 * 21);
}

// 1-pixel black and white columns: mean grey, but finer than any cell can show.
Image stripes(int w, int h)
{
    Image image;
    image.create(w, h, 300.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.rowFromTop(y)[x] = x % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    return image;
}

struct Spread {
    double mean = 0;
    double deviation = 0;
};

// Of the green channel, inside the cell less a 2-pixel margin (the edges blend with grey).
Spread spreadIn(const Image& sheet, Cell c)
{
    double sum = 0, squares = 0;
    int n = 0;
    for (int y = c.top + 2; y < c.top + c.height - 2; ++y)
        for (int x = c.left + 2; x < c.left + c.width - 2; ++x, ++n) {
            const double v = double((sheet.pixelAt(x, y) >> 8) & 0xFF);
            sum += v;
            squares += v * v;
        }
    const double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean))};
}

TEST_F(SheetReading, ReducedJpegShowsFineStripesAsTheirMeanGrey)
{
    // At 300 dpi a cell is 213 x 142; a 3500 x 2333 picture is 16.4 times that, so it is
    // decoded at 1/8. Whole, every cell pixel samples a few stripes at a drifting phase: moire.
    const IndexItem striped = save("stripes.jpg", stripes(3500, 2333));
    Image reducedPicture;
    ASSERT_TRUE(readJpegReduced(striped.path(), reducedPicture, [](int w, int h) {
        return sheetPictureReduction(w, h, 213, 142, kFitInside);
    }));
    EXPECT_EQ(reducedPicture.width(), 438);

    const std::vector<IndexItem> items = {striped};
    IndexSheet whole, reduced;
    ASSERT_TRUE(render(whole, items, 2, false, kFitInside, 300));
    ASSERT_TRUE(render(reduced, items, 2, true, kFitInside, 300));
    const Cell cell = cellOf(whole, 0);
    const Spread before = spreadIn(whole.sheet(), cell);
    const Spread after = spreadIn(reduced.sheet(), cell);
    EXPECT_GT(before.deviation, 30.0) << "the whole decoding should alias";
    EXPECT_LT(after.deviation, 3.0);
    EXPECT_LT(after.deviation * 10, before.deviation);
    EXPECT_NEAR(after.mean, 127.5, 6.0);

    // For a person to look at: the two cells side by side, whole on the left.
    if (const char* out = std::getenv("TAVELUNE_ALIASING_PNG")) {
        Image pair;
        pair.setFillColour(0xFF000000);
        ASSERT_TRUE(pair.create(2 * cell.width + 10, cell.height, 300.0f));
        pair.copyImage(0, 0, whole.sheet(), cell.left, cell.top, cell.width, cell.height,
                       0xFF000000);
        pair.copyImage(cell.width + 10, 0, reduced.sheet(), cell.left, cell.top, cell.width,
                       cell.height, 0xFF000000);
        EXPECT_TRUE(cli::writePngFile(out, pair));
    }
}

}  // namespace
}  // namespace tavelune
