// The screen copy of a picture that carries a colour profile.
#include "view/display_colour.h"

#include "engine/colour_profile.h"
#include "engine/parallel.h"

namespace tavelune {

Image srgbDisplayCopy(const Image& picture, const std::vector<std::uint8_t>& icc)
{
    if (picture.isEmpty() || icc.empty() || isOurSrgbProfile(icc))
        return {};
    const std::shared_ptr<const SrgbConversion> conversion = sharedSrgbConversion(icc);
    if (!conversion)
        return {};
    Image shown = picture;
    if (shown.isEmpty())
        return {};
    const int width = shown.width();
    forEachRowBand(shown.height(), std::size_t(width) * 8, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            conversion->convert(shown.rowFromTop(y), std::size_t(width));
    });
    return shown;
}

}  // namespace tavelune
