// The four pages' settings made for a larger copy of the picture they were chosen on.
#pragma once

#include "job/conversion_job.h"

namespace tavelune {

/// Whether lengths set in millimetres, centimetres or inches grow with the picture, as pixel
/// lengths do (the larger copy looks like the preview), or keep their size on the print at
/// the picture's dpi.
enum class PrintLengths { Scaled, KeptAtSize };

/// A length the working picture drew as previewPixels, on a picture factor times as large.
int scaledLength(int previewPixels, double factor);

/// The settings that draw on a picture factor times as large what settings drew on a picture
/// of the given dpi: every mat and border width, offset and text height becomes the pixels it
/// had there times factor (so lengths in inches, centimetres and millimetres follow the
/// working picture, not the larger one's dpi), and a watermark or signature picture is
/// resampled to its size times factor. With PrintLengths::KeptAtSize the lengths in those
/// units become the pixels they give at dpi instead. A factor that is not positive changes
/// nothing.
ConversionSettings scaleConversionSettings(const ConversionSettings& settings, double factor,
                                           double dpi, PrintLengths lengths = PrintLengths::Scaled);

/// The frame part of scaleConversionSettings.
BorderSettings scaleBorderSettings(const BorderSettings& border, double factor, double dpi,
                                   PrintLengths lengths = PrintLengths::Scaled);

/// An overlay picture at width x height, bicubic, with its colour key folded into the alpha
/// first so that keyed pixels do not bleed into their neighbours; the result has no key.
/// Empty when the picture is empty or the memory is missing.
Image scaleOverlayPicture(const Image& picture, int width, int height);

}  // namespace tavelune
