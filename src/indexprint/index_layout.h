// The sheet layouts and resolutions the index print offers, in their list order.
#pragma once

#include <span>
#include <string>

namespace tavelune {

/// One entry of the style list: paper size in its unit and the thumbnail grid.
struct IndexLayoutEntry {
    const char* sizeText;  // e.g. "8 x 5 - 4R "
    bool photoPrint;       // entry text gets the "photo print" word appended
    float pageWidth;
    float pageHeight;
    int unit;  // kUnitInch or kUnitMillimetre
    int columns;
    int rows;
};

/// The ten layouts, in list order.
std::span<const IndexLayoutEntry> indexLayouts();
/// The layout of a style index; anything outside the list gets the 6 x 4 inch, 12 x 5 sheet.
const IndexLayoutEntry& indexLayout(int style);
/// The style list's entry text.
std::string indexLayoutText(const IndexLayoutEntry& entry);

/// One entry of the precision list.
struct IndexResolution {
    int stringId;
    const char* text;
    int dpi;
};

/// The five resolutions, in list order (not sorted by dpi).
std::span<const IndexResolution> indexResolutions();

}  // namespace tavelune
