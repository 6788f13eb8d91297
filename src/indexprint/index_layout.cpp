// The layout and resolution tables of the index print.
#include "indexprint/index_layout.h"

#include "indexprint/index_messages.h"
#include "pixel/units.h"

namespace tavelune {
namespace {

constexpr int kInch = kUnitInch;
constexpr int kMillimetre = kUnitMillimetre;

constexpr IndexLayoutEntry kLayouts[] = {
    {"8 x 5 - 4R ", true, 6.0f, 4.0f, kInch, 8, 5},
    {"6 x 4 - 4R ", true, 6.0f, 4.0f, kInch, 6, 4},
    {"4 x 3 - 4R ", true, 6.0f, 4.0f, kInch, 4, 3},
    {"8 x 5 - 3R ", true, 5.0f, 3.5f, kInch, 8, 5},
    {"6 x 4 - 3R ", true, 5.0f, 3.5f, kInch, 6, 4},
    {"4 x 3 - 3R ", true, 5.0f, 3.5f, kInch, 4, 3},
    {"5 x 7 - A6", false, 105.0f, 148.0f, kMillimetre, 5, 7},
    {"4 x 6 - A6", false, 105.0f, 148.0f, kMillimetre, 4, 6},
    {"8 x 12 - A4", false, 210.0f, 297.0f, kMillimetre, 8, 12},
    {"6 x 10 - A4", false, 210.0f, 297.0f, kMillimetre, 6, 10},
};

constexpr IndexLayoutEntry kFallback = {"", false, 6.0f, 4.0f, kInch, 12, 5};

constexpr IndexResolution kResolutions[] = {
    {57462, "屏幕显示 / 96dpi", 96},
    {57463, "屏幕显示(大) / 120dpi", 120},
    {57464, "彩色打印 / 360dpi", 360},
    {57465, "照片级打印 / 720dpi", 720},
    {57466, "激光数码冲印 / 300dpi", 300},
};

}  // namespace

std::span<const IndexLayoutEntry> indexLayouts() { return kLayouts; }

const IndexLayoutEntry& indexLayout(int style)
{
    if (style < 0 || style >= int(std::size(kLayouts)))
        return kFallback;
    return kLayouts[style];
}

std::string indexLayoutText(const IndexLayoutEntry& entry)
{
    std::string text = entry.sizeText;
    if (entry.photoPrint)
        text += indexprint::messages::kPhotoPrint;
    return text;
}

std::span<const IndexResolution> indexResolutions() { return kResolutions; }

}  // namespace tavelune
