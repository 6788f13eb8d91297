// Sharpening of the film result by the sharpness slider.
#pragma once

namespace tavelune {

class ConvolutionFilter;
class Image;

/// Level 5 - position (position clamped to 0..5); level 0 leaves the picture alone. Rows are
/// split over threadCount threads without changing the result.
void sharpenPicture(Image& result, int sharpnessPosition, int threadCount = 1);

/// Sets filter to the kernel of the slider position; false (filter unchanged) at level 0,
/// which leaves the picture alone, or without memory.
bool makeSharpenFilter(int sharpnessPosition, ConvolutionFilter& filter);

/// Centre weight of the 3 x 3 sharpening kernel at a level 1..5.
int sharpenCentreWeight(int level);

}  // namespace tavelune
