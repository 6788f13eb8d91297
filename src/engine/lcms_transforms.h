// Transforms from a picture's own profile into sRGB, made the same way for every conversion.
#pragma once

#include <lcms2.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tavelune {

/// Transforms from the profile icc into LittleCMS's sRGB (perceptual intent, black-point
/// compensation, and flags), one for each input format, all into output; made in context
/// (null: the default one). Empty when LittleCMS cannot read the profile, the profile is not of
/// colour space space, or a transform cannot be made. The caller deletes them.
std::vector<cmsHTRANSFORM> transformsIntoSrgb(cmsContext context,
                                              const std::vector<std::uint8_t>& icc,
                                              cmsColorSpaceSignature space,
                                              std::initializer_list<cmsUInt32Number> inputs,
                                              cmsUInt32Number output, cmsUInt32Number flags);

}  // namespace tavelune
