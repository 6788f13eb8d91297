// Colour profiles: the sRGB one a new picture is tagged with, what a profile calls itself, and
// the numbers of a picture turned from its profile's colours into sRGB.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/picture_metadata.h"

namespace tavelune {

class Image;

/// An sRGB profile made by LittleCMS, the same bytes on every call.
const std::vector<std::uint8_t>& srgbProfile();

/// Metadata of a picture made here from others (an index sheet): sRGB and nothing else.
PictureMetadata srgbOnlyMetadata();

/// The profile's description ("Adobe RGB (1998)"); empty when LittleCMS cannot read it.
std::string profileDescription(const std::vector<std::uint8_t>& icc);

/// Whether LittleCMS reads icc as a profile of another colour space than RGB (CMYK, grey, Lab);
/// false for an empty or unreadable one.
bool describesOtherThanRgb(const std::vector<std::uint8_t>& icc);

/// Whether icc is the sRGB profile we tag pictures with (byte for byte).
bool isOurSrgbProfile(const std::vector<std::uint8_t>& icc);

class MatrixShaper8;

/// Rows of 0xAARRGGBB pixels turned from an RGB profile's colours into sRGB (perceptual
/// intent, black-point compensation; alpha kept) by LittleCMS; for a matrix-shaper profile
/// with LittleCMS's own tables evaluated here, the same bytes a few times faster. Made once,
/// used from any thread.
class SrgbConversion {
public:
    /// False for a profile LittleCMS cannot read or that is not an RGB one.
    bool open(const std::vector<std::uint8_t>& icc);
    ~SrgbConversion();
    SrgbConversion();
    SrgbConversion(const SrgbConversion&) = delete;
    SrgbConversion& operator=(const SrgbConversion&) = delete;

    void convert(std::uint32_t* pixels, std::size_t count) const;
    /// Whether convert evaluates LittleCMS's tables here rather than calling it.
    bool evaluatesTablesHere() const;

private:
    void convertByLittleCms(std::uint32_t* pixels, std::size_t count) const;

    void* m_context = nullptr;
    void* m_transform = nullptr;
    std::unique_ptr<MatrixShaper8> m_tables;
};

/// The conversion for icc, made once per profile and kept for the next picture that carries it
/// (a few profiles are remembered). Null for a profile SrgbConversion cannot open.
std::shared_ptr<const SrgbConversion> sharedSrgbConversion(const std::vector<std::uint8_t>& icc);

/// Whether a picture tagged with icc is turned into sRGB by SrgbConversion (true for none: it
/// is sRGB already, and for ours).
bool turnsIntoSrgb(const std::vector<std::uint8_t>& icc);

/// The whole picture through SrgbConversion, in bands over the cores. False (the picture
/// untouched) when the profile cannot be used.
bool convertToSrgb(Image& picture, const std::vector<std::uint8_t>& icc);

}  // namespace tavelune
