// Stamping a watermark or signature onto a picture.
// Layer overlay: text, information tags, watermark, signature, border; below histogram and job.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "engine/image.h"
#include "engine/image_error.h"
#include "overlay/overlay_settings.h"

namespace tavelune {

class ExifData;
struct TagContext;

/// The text drawn on one picture, and whether it was cut at the expansion limit.
struct ExpandedText {
    ExpandedText(std::string expanded, bool wasCut = false)
        : text(std::move(expanded)), cut(wasCut)
    {
    }
    std::string text;
    bool cut = false;
};

/// Turns the page's text into the text drawn on one picture (the information tags).
using TextExpander = std::function<ExpandedText(const std::string& text, const Image& image)>;

/// An expander that replaces the information tags with their values for the picture whose
/// EXIF data is given (may be null). The context is copied; exif must outlive the expander.
/// A text cut at the expansion limit is drawn as cut and says so.
TextExpander tagExpander(const ExifData* exif, const TagContext& context);

/// Top-left corner of an overlay of size w x h on a picture of W x H: the offsets measure inward
/// from the chosen edge, and shift right or down when centred.
struct OverlayPosition {
    int x = 0;
    int y = 0;
    friend bool operator==(const OverlayPosition&, const OverlayPosition&) = default;
};
OverlayPosition overlayPosition(int horizontal, int vertical, int offX, int offY, int W, int H,
                                int w, int h);

/// Draws the page's overlay onto image in place; nothing when the page is disabled, the text
/// or picture is empty, the font cannot be made, the expanded text has no size or lies off
/// the picture. Without an expander the text is drawn as it stands. CanvasFailed (picture
/// unchanged) when its canvas cannot be made: an overlay asked for is never dropped silently.
/// A text cut by its expander is drawn with a TextCut warning.
ImageStatus applyOverlay(Image& image, const OverlaySettings& settings,
                         const TextExpander& expand = {});

}  // namespace tavelune
