// Default values of the entries the program creates, so a new entry is valid at once.
#include <cstring>
#include <ctime>

#include "exif/byte_order.h"
#include "exif/exif_entry.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

void putShort(std::vector<std::uint8_t>& bytes, std::size_t index, std::uint16_t value)
{
    exif::writeU16(bytes, index * 2, exif::kIntel, value);
}

void putNow(std::vector<std::uint8_t>& bytes)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
    bytes.assign(text, text + length);
    bytes.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> defaultTagValue(const TagInfo& info)
{
    const std::uint32_t count = info.defaultCount == 0 ? 1 : info.defaultCount;
    std::vector<std::uint8_t> bytes(std::size_t{count} * exifTypeSize(info.type), 0);
    auto is = [&](std::uint16_t ifd, std::uint16_t tag) {
        return info.ifd == ifd && info.tag == tag;
    };

    if (info.ifd == kIfd0) {
        switch (info.tag) {
            case kTagBitsPerSample:
                for (std::size_t i = 0; i < 3; ++i) putShort(bytes, i, 8);
                break;
            case kTagCompression:
            case kTagOrientation:
            case kTagPlanarConfiguration:
            case kTagYCbCrPositioning:
                putShort(bytes, 0, 1);
                break;
            case kTagPhotometricInterpretation:
            case kTagResolutionUnit:
                putShort(bytes, 0, 2);
                break;
            case kTagSamplesPerPixel:
                putShort(bytes, 0, 3);
                break;
            case kTagXResolution:
            case kTagYResolution:
                exif::writeU32(bytes, 0, exif::kIntel, 72);
                exif::writeU32(bytes, 4, exif::kIntel, 1);
                break;
            case kTagDateTime:
                putNow(bytes);
                break;
            default:
                break;
        }
    } else if (info.ifd == kExifIfd) {
        if (is(kExifIfd, kTagExifVersion))
            std::memcpy(bytes.data(), "0221", 4);
        else if (is(kExifIfd, kTagFlashPixVersion))
            std::memcpy(bytes.data(), "0100", 4);
        else if (is(kExifIfd, kTagDateTimeOriginal) || is(kExifIfd, kTagDateTimeDigitized))
            putNow(bytes);
        else if (is(kExifIfd, kTagComponentsConfiguration))
            bytes = {1, 2, 3, 0};
        else if (is(kExifIfd, kTagColorSpace))
            putShort(bytes, 0, 1);
        else if (is(kExifIfd, kTagSceneType))
            bytes[0] = 1;
        else if (is(kExifIfd, kTagFocalPlaneResolutionUnit))
            putShort(bytes, 0, 2);
        else if (is(kExifIfd, kTagFileSource))
            bytes[0] = 3;
    }
    return bytes;
}

}  // namespace tavelune
