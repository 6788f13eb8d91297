// Where things go on an index sheet: page and cell sizes, the grid, the panel and the logo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelune {

/// The layout fields of a sheet for one style and resolution.
struct IndexLayout {
    float pageWidth = 0;  // in unit
    float pageHeight = 0;
    int unit = 1;  // 1 inch, 3 millimetre
    float dpi = 96;
    int rows = 0;
    int columns = 0;
    int pageWidthPx = 0;
    int pageHeightPx = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int gap = 0;  // g: 0.015 inch in pixels; cells are 2g apart

    /// Left edges of the cells of a full row: the pixels that the cell width leaves over widen
    /// the first gaps by one each, so the last cell ends 2g before the page edge.
    std::vector<int> columnLefts() const;
    /// Top edge of grid row r when a caption line is captionHeight high.
    int rowTop(int row, int captionHeight) const;
    /// First pixel row below the grid.
    int gridBottom(int captionHeight) const;
    /// Height of the grey panel under the grid; zero or less when the grid leaves no room.
    int panelHeight(int captionHeight, int titleHeight) const;
    int capacity() const { return rows * columns; }
};

/// setLayout's arithmetic: the table entry of style (the fallback for an unknown style) and dpi
/// clamped to 1..1440.
IndexLayout computeIndexLayout(int style, float dpi);

struct LogoSize {
    int width = 0;
    int height = 0;
};

/// The drawn size of a logo in a panel panelHeight high: its own size, or scaled down to the
/// panel's inner height (panelHeight - 4g) keeping proportions. Zero when it does not fit at all.
LogoSize indexLogoSize(int logoWidth, int logoHeight, int panelHeight, int gap);

/// A thumbnail's caption: the label, or "N. label" with N = numberFrom + index when numberFrom
/// is 1 or more.
std::string indexCaption(const std::string& label, int64_t numberFrom, size_t index);

}  // namespace tavelune
