// Page, grid, panel and logo arithmetic of the index sheet.
#include "indexprint/index_geometry.h"

#include <algorithm>
#include <cmath>

#include "indexprint/index_layout.h"
#include "pixel/units.h"

namespace tavelune {
IndexLayout computeIndexLayout(int style, float dpi)
{
    const IndexLayoutEntry& entry = indexLayout(style);
    IndexLayout layout;
    layout.pageWidth = entry.pageWidth;
    layout.pageHeight = entry.pageHeight;
    layout.unit = entry.unit;
    layout.columns = entry.columns;
    layout.rows = entry.rows;
    // NaN fails both comparisons of a clamp; it gets the lowest resolution instead.
    layout.dpi = std::isnan(dpi) ? 1.0f : std::clamp(dpi, 1.0f, 1440.0f);
    layout.gap = int(convertUnit(kUnitPixel, kUnitInch, 0.015, 0, layout.dpi));
    layout.pageWidthPx = int(convertUnit(kUnitPixel, entry.unit, entry.pageWidth, 0, layout.dpi));
    layout.pageHeightPx = int(convertUnit(kUnitPixel, entry.unit, entry.pageHeight, 0, layout.dpi));
    layout.cellWidth = (layout.pageWidthPx - (layout.columns + 1) * 2 * layout.gap) / layout.columns;
    layout.cellHeight = int(std::floor(layout.cellWidth * 2.0 / 3.0 + 0.5));
    return layout;
}

std::vector<int> IndexLayout::columnLefts() const
{
    std::vector<int> lefts;
    lefts.reserve(size_t(std::max(columns, 0)));
    int x = 2 * gap;
    int spare = pageWidthPx - columns * (2 * gap + cellWidth) - 2 * gap;
    for (int column = 0; column < columns; ++column) {
        lefts.push_back(x);
        x += cellWidth + 2 * gap;
        if (spare > 0)
            ++x;
        --spare;
    }
    return lefts;
}

int IndexLayout::rowTop(int row, int captionHeight) const
{
    return 2 * gap + row * (cellHeight + 2 * gap + captionHeight);
}

int IndexLayout::gridBottom(int captionHeight) const { return rowTop(rows, captionHeight); }

int IndexLayout::panelHeight(int captionHeight, int titleHeight) const
{
    return pageHeightPx - gridBottom(captionHeight) - titleHeight - 2 * gap;
}

LogoSize indexLogoSize(int logoWidth, int logoHeight, int panelHeight, int gap)
{
    if (logoWidth <= 0 || logoHeight <= 0)
        return {};
    const int inner = panelHeight - 4 * gap;
    if (logoHeight <= inner)
        return {logoWidth, logoHeight};
    if (inner <= 0)
        return {};
    int width = int(int64_t(logoWidth) * inner / logoHeight);
    if (width <= 0)
        return {};
    return {width, inner};
}

std::string indexCaption(const std::string& label, int64_t numberFrom, size_t index)
{
    if (numberFrom < 1)
        return label;
    return std::to_string(numberFrom + int64_t(index)) + ". " + label;
}

}  // namespace tavelune
