// Point sizes, LOGFONT heights and the font dialog's sample.
#include "overlay/font_choice.h"

#include <algorithm>
#include <cstdlib>

#include "overlay/apply_overlay.h"
#include "overlay/text_canvas.h"
#include "pixel/pixel.h"

namespace tavelune {

int fontHeightForPoints(int points)
{
    // MulDiv rounding: half away from zero.
    const long long scaled = (long long)std::abs(points) * kFontDialogDpi;
    const int pixels = int((scaled + 36) / 72);
    return points < 0 ? pixels : -pixels;
}

int fontPointsForHeight(int height)
{
    const long long pixels = std::llabs((long long)height);
    return int((pixels * 72 + kFontDialogDpi / 2) / kFontDialogDpi);
}

Image fontSample(const FontChoice& choice, const std::string& text, int margin)
{
    TextCanvas canvas;
    const OverlayFont& font = choice.font;
    if (!canvas.setFont(font.faceName, font.height, font.weight != kWeightNormal, font.italic,
                        font.underline, font.strikeOut))
        return {};
    const TextSize size = canvas.measureText(text);
    if (size.width <= 0 || size.height <= 0)
        return {};
    margin = std::max(margin, 0);
    Image sample;
    sample.setFillColour(colorRefToPixel(textBoxBackground(choice.colour)));
    if (!sample.create(size.width + 2 * margin, size.height + 2 * margin, 72.0f))
        return {};
    OverlaySettings settings;
    settings.enabled = true;
    settings.mode = OverlayMode::Text;
    settings.horizontal = kAlignLeft;
    settings.vertical = kAlignTop;
    settings.offsetX = margin;
    settings.offsetY = margin;
    settings.unit = 0;
    settings.text = text;
    settings.font = font;
    settings.textColour = choice.colour;
    // The sample canvas was made above; the text's own is smaller still.
    if (!applyOverlay(sample, settings))
        return {};
    return sample;
}

}  // namespace tavelune
