// The process-wide pixel limit.
#include "engine/pixel_limit.h"

#include <atomic>
#include <climits>

namespace tavelune {
namespace {

std::atomic<uint64_t> g_maxPixels{kDefaultMaxPixels};

}  // namespace

uint64_t maxPicturePixels()
{
    return g_maxPixels.load(std::memory_order_relaxed);
}

void setMaxPicturePixels(uint64_t limit)
{
    if (limit == 0)
        limit = kDefaultMaxPixels;
    g_maxPixels.store(limit < kHighestMaxPixels ? limit : kHighestMaxPixels,
                      std::memory_order_relaxed);
}

bool withinPixelLimit(uint64_t width, uint64_t height)
{
    // Each side below 2^31 keeps the product within 64 bits.
    return width > 0 && height > 0 && width <= uint64_t(INT_MAX) && height <= uint64_t(INT_MAX) &&
           width * height <= maxPicturePixels();
}

std::string pixelLimitText(uint64_t width, uint64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height) +
           " pixels, over the limit of " + std::to_string(maxPicturePixels()) + " pixels";
}

std::string canvasFailureText(const char* what, uint64_t width, uint64_t height)
{
    if (!withinPixelLimit(width, height))
        return std::string(what) + " would measure " + pixelLimitText(width, height);
    return std::string("not enough memory for ") + what + " (" + std::to_string(width) + " x " +
           std::to_string(height) + " pixels)";
}

}  // namespace tavelune
