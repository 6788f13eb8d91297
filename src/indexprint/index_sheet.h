// The index print (contact sheet): a page of captioned thumbnails with a panel, title and signature.
// Layer indexprint: sheet layout and rendering; sits on overlay, engine and pixel.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/image.h"
#include "engine/image_error.h"
#include "indexprint/index_geometry.h"
#include "indexprint/index_items.h"
#include "overlay/text_canvas.h"

namespace tavelune {

class Progress;
struct SheetPicture;

/// How the sheet reads its pictures.
struct IndexReading {
    /// Pictures read at once; 0 = one per core, at most 8. The sheet's bytes do not depend on it.
    int threads = 0;
    /// Decode a JPEG much larger than its cell reduced (sheetPictureReduction): less aliasing and
    /// far less work. Off reads every picture in full.
    bool reduceLargeJpeg = true;
    /// Turn each picture as its EXIF orientation says, so portraits stand upright on the sheet.
    bool upright = false;
};

/// The boxes met reading one picture of the sheet.
struct SheetPictureBoxes {
    size_t item = 0;  // its position in the list
    std::string path;
    Warnings<ImageError> boxes;
};

/// A picture's boxes as the one box the user is shown: a sheet of many pictures would
/// otherwise stack boxes no one can tell apart. Its texts one a line, then the file; the first
/// box's caption; the gravest icon.
struct SheetPictureBox {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Information;
};
SheetPictureBox sheetPictureBox(const SheetPictureBoxes& picture);

class IndexSheet {
public:
    /// Fills the layout fields for a style (list index; others get the fallback) and dpi.
    void setLayout(int style, float dpi);
    const IndexLayout& layout() const { return m_layout; }
    void setReading(const IndexReading& reading) { m_reading = reading; }

    /// Renders the sheet anew. fitMode places the thumbnails (kFitFill or kFitInside);
    /// numberFrom of 1 or more numbers the captions from it; logo may be null or empty.
    /// Items that cannot be opened leave a black cell and still use up their number; items
    /// beyond the grid are not drawn. progress, if given, runs from 0 to progressEnd(items).
    /// Pictures are read ahead on several threads and drawn in list order; the boxes their
    /// readers met are in pictureBoxes(), in that order. Fails when the sheet itself
    /// cannot be made, or when *stop became true (checked before each picture is drawn; no
    /// further picture starts reading); stopped() tells the two apart. A stopped sheet is half
    /// drawn.
    bool render(int style, float dpi, const std::string& title, const std::string& signature,
                const std::string& content, int fitMode, int64_t numberFrom, const Image* logo,
                std::span<const IndexItem> items, Progress* progress,
                const std::atomic<bool>* stop = nullptr);
    /// Whether the last render gave up because it was asked to stop.
    bool stopped() const { return m_stopped; }

    static int progressEnd(size_t itemCount) { return int(itemCount) + 5; }

    const TextCanvas& sheet() const { return m_sheet; }
    TextCanvas& sheet() { return m_sheet; }
    /// Positions in the last render's list of the items that could not be opened.
    const std::vector<size_t>& failedItems() const { return m_failed; }
    /// The boxes of the last render's pictures that met any, in list order.
    const std::vector<SheetPictureBoxes>& pictureBoxes() const { return m_pictureBoxes; }
    /// Line heights of the last render: captions and the title band.
    int captionHeight() const { return m_captionHeight; }
    int titleHeight() const { return m_titleHeight; }

private:
    void drawGrid(int fitMode, int64_t numberFrom, std::span<const IndexItem> items,
                  Progress* progress, const std::atomic<bool>* stop);
    void drawThumbnail(const SheetPicture& thumbnail, int x, int y, int fitMode);
    int drawLogo(const Image* logo, int gridBottom, int panelHeight);

    IndexLayout m_layout;
    IndexReading m_reading;
    TextCanvas m_sheet;
    std::vector<size_t> m_failed;
    std::vector<SheetPictureBoxes> m_pictureBoxes;
    int m_captionHeight = 0;
    int m_titleHeight = 0;
    bool m_stopped = false;
};

}  // namespace tavelune
