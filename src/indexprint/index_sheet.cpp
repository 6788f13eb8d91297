// Rendering the index sheet: grid of thumbnails, captions, panel with logo and text, title, signature.
#include "indexprint/index_sheet.h"

#include <algorithm>

#include "engine/parallel.h"
#include "indexprint/fit_rectangle.h"
#include "indexprint/index_messages.h"
#include "indexprint/sheet_picture_prefetch.h"
#include "indexprint/sheet_picture_reader.h"
#include "pixel/progress.h"

namespace tavelune {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr const char* kFace = "Arial";
// Past this the one drawing thread keeps up no better, and every thread holds a picture more.
constexpr int kMostReadingThreads = 8;

void step(Progress* progress)
{
    if (progress)
        progress->advance(1);
}

}  // namespace

void IndexSheet::setLayout(int style, float dpi) { m_layout = computeIndexLayout(style, dpi); }

bool IndexSheet::render(int style, float dpi, const std::string& title,
                        const std::string& signature, const std::string& content, int fitMode,
                        int64_t numberFrom, const Image* logo, std::span<const IndexItem> items,
                        Progress* progress, const std::atomic<bool>* stop)
{
    setLayout(style, dpi);
    m_failed.clear();
    m_pictureBoxes.clear();
    m_stopped = false;
    if (progress)
        progress->set(0);
    const IndexLayout& L = m_layout;
    const int g = L.gap;

    m_sheet.setFillColour(kBlack);
    if (!m_sheet.create(L.pageWidthPx, L.pageHeightPx, L.dpi))
        return false;
    step(progress);

    m_sheet.setFontPoints(kFace, 8, false, false, false, false);
    m_captionHeight = m_sheet.measureTextLine(indexprint::messages::kLineProbe).height;
    drawGrid(fitMode, numberFrom, items, progress, stop);
    if (m_stopped)
        return false;
    const int gridBottom = L.gridBottom(m_captionHeight);

    m_sheet.setFontPoints(kFace, 10, true, false, false, false);
    m_titleHeight =
        m_sheet.measureTextLine(title.empty() ? indexprint::messages::kLineProbe : title).height;
    const int panel = L.panelHeight(m_captionHeight, m_titleHeight);
    const bool hasPanel = panel > 0;
    if (hasPanel)
        m_sheet.drawRectangle(2 * g, gridBottom, L.pageWidthPx - 4 * g, panel, kGrey, kGrey);

    const int logoWidth = hasPanel ? drawLogo(logo, gridBottom, panel) : 0;
    step(progress);

    if (hasPanel) {
        m_sheet.setFontPoints(kFace, 8, false, false, false, false);
        const int left = logoWidth + 10 * g;
        m_sheet.drawText(left, gridBottom + 2 * g, (L.pageWidthPx - 4 * g) - left - 2 * g,
                         panel - 4 * g, content, kWhite, 0, 0);
    }
    step(progress);

    // Keeps the title band black whatever the panel's text did above it.
    m_sheet.drawRectangle(2 * g, gridBottom + panel, L.pageWidthPx - 4 * g, 2 * g + m_titleHeight,
                          kBlack, kBlack);

    m_sheet.setFontPoints(kFace, 10, true, false, false, false);
    m_sheet.drawTextLine(2 * g, L.pageHeightPx - m_titleHeight - g, title, kWhite, 0, 0);
    step(progress);

    m_sheet.setFontPoints(kFace, 8, true, false, false, false);
    const auto signatureSize = m_sheet.measureTextLine(signature);
    m_sheet.drawTextLine(L.pageWidthPx - 2 * g - signatureSize.width,
                         L.pageHeightPx - signatureSize.height - g, signature, kWhite, 0, 0);

    if (progress)
        progress->set(progressEnd(items.size()));
    return true;
}

SheetPictureBox sheetPictureBox(const SheetPictureBoxes& picture)
{
    SheetPictureBox box;
    if (picture.boxes.empty())
        return box;
    box.caption = imageErrorCaption(picture.boxes.front().code);
    for (const Failure<ImageError>& one : picture.boxes) {
        if (!box.text.empty())
            box.text += '\n';
        box.text += imageErrorText(one);
        box.icon = std::max(box.icon, imageErrorIcon(one.code));
    }
    box.text += "\n\n" + picture.path;
    return box;
}

void IndexSheet::drawGrid(int fitMode, int64_t numberFrom, std::span<const IndexItem> items,
                          Progress* progress, const std::atomic<bool>* stop)
{
    const IndexLayout& L = m_layout;
    const int g = L.gap;
    const std::vector<int> lefts = L.columnLefts();
    const size_t onSheet =
        L.rows > 0 && L.columns > 0 ? std::min(items.size(), size_t(L.capacity())) : 0;
    const int threads = m_reading.threads > 0 ? m_reading.threads
                                              : std::min(defaultThreadCount(), kMostReadingThreads);
    const int cellWidth = L.cellWidth;
    const int cellHeight = L.cellHeight;
    const bool reduce = m_reading.reduceLargeJpeg;
    const bool upright = m_reading.upright;
    SheetPicturePrefetch pictures(
        onSheet, threads,
        [&](size_t index, SheetPicture& out) {
            readSheetPicture(items[index].path(), cellWidth, cellHeight, fitMode, reduce, out,
                             upright);
        },
        stop);
    size_t index = 0;
    for (int row = 0; row < L.rows && index < onSheet; ++row) {
        const int y = L.rowTop(row, m_captionHeight);
        for (int column = 0; column < L.columns && index < onSheet; ++column, ++index) {
            const SheetPicture* picture = pictures.next();
            if (!picture) {
                m_stopped = true;
                return;
            }
            if (!picture->boxes.empty())
                m_pictureBoxes.push_back({index, items[index].path(), picture->boxes});
            const int x = lefts[size_t(column)];
            if (picture->opened) {
                drawThumbnail(*picture, x, y, fitMode);
                m_sheet.drawText(x, y + L.cellHeight + g, L.cellWidth - g, m_captionHeight,
                                 indexCaption(items[index].label, numberFrom, index), kWhite, 0, 0);
            } else {
                m_failed.push_back(index);
            }
            step(progress);
        }
    }
}

void IndexSheet::drawThumbnail(const SheetPicture& thumbnail, int x, int y, int fitMode)
{
    const IndexLayout& L = m_layout;
    m_sheet.drawRectangle(x, y, L.cellWidth, L.cellHeight, kGrey, kGrey);
    if (!m_sheet.setClip(x, y, L.cellWidth, L.cellHeight))
        return;
    const Rect cell{x, y, x + L.cellWidth, y + L.cellHeight};
    // Placed by the stored size, so a reduced picture covers the same pixels as the full one.
    const Rect target = fitRectangle(cell, thumbnail.sourceWidth, thumbnail.sourceHeight, fitMode);
    const Image& picture = thumbnail.picture;
    m_sheet.drawImage(target, picture, Rect{0, 0, picture.width(), picture.height()}, kBilinear,
                      kGrey);
    m_sheet.resetClip();
}

int IndexSheet::drawLogo(const Image* logo, int gridBottom, int panelHeight)
{
    if (!logo || logo->isEmpty())
        return 0;
    const int g = m_layout.gap;
    const LogoSize size = indexLogoSize(logo->width(), logo->height(), panelHeight, g);
    if (size.width <= 0)
        return 0;
    const int left = 4 * g;
    const int top = gridBottom + 2 * g;
    m_sheet.drawImage(Rect{left, top, left + size.width, top + size.height}, *logo,
                      Rect{0, 0, logo->width(), logo->height()}, kBilinear, 0);
    return size.width;
}

}  // namespace tavelune
