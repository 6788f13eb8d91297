// What every whole-picture reader must give: a failure, or a picture of a sane size.
#pragma once

#include "engine/codec_support.h"
#include "engine/image.h"

// Big enough for every seed, small enough that a header's claim costs little memory.
inline void limitFuzzPictures()
{
    static const bool set = [] {
        tavelune::setMaxPicturePixels(uint64_t(1) << 18);
        return true;
    }();
    (void)set;
}

inline void checkPicture(bool read, const tavelune::Image& image)
{
    if (!read)
        return;
    if (image.isEmpty() || !tavelune::withinPixelLimit(uint64_t(image.width()),
                                                       uint64_t(image.height())))
        __builtin_trap();
}
