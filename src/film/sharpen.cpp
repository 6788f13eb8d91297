// Sharpening as a 3 x 3 convolution whose centre weight grows as the level drops.
#include "film/sharpen.h"

#include <algorithm>

#include "film/convolution_filter.h"

namespace tavelune {

int sharpenCentreWeight(int level)
{
    static constexpr int kCentre[5] = {14, 10, 8, 7, 6};
    return kCentre[std::clamp(level, 1, 5) - 1];
}

bool makeSharpenFilter(int sharpnessPosition, ConvolutionFilter& filter)
{
    int level = 5 - std::clamp(sharpnessPosition, 0, 5);
    if (level == 0)
        return false;
    int c = sharpenCentreWeight(level);
    const int32_t kernel[9] = {0, -1, 0, -1, c, -1, 0, -1, 0};
    return filter.setKernel(kernel, 3, 3);
}

void sharpenPicture(Image& result, int sharpnessPosition, int threadCount)
{
    ConvolutionFilter filter;
    if (makeSharpenFilter(sharpnessPosition, filter))
        filter.apply(result, threadCount);
}

}  // namespace tavelune
