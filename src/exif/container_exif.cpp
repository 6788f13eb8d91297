// Finding the EXIF data of raw, HEIF, WebP and PNG files, and building a model from a raw's report.
#include "exif/container_exif.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>

#include "engine/codec_support.h"
#include "engine/container_metadata.h"
#include "engine/format_table.h"
#include "engine/heif_codec.h"
#include "engine/webp_codec.h"

namespace tavelune {
namespace {

void appendEntry(std::vector<std::unique_ptr<ExifEntry>>& out, std::uint16_t ifd, std::uint16_t tag,
                 std::uint16_t type, std::uint32_t count, const std::uint8_t* bytes)
{
    auto entry = std::make_unique<ExifEntry>();
    if (entry->SetFromRaw(ifd, tag, type, count, bytes, 1))
        out.push_back(std::move(entry));
}

void appendText(std::vector<std::unique_ptr<ExifEntry>>& out, std::uint16_t ifd, std::uint16_t tag,
                const std::string& text)
{
    if (text.empty())
        return;
    appendEntry(out, ifd, tag, kAscii, std::uint32_t(text.size() + 1),
                reinterpret_cast<const std::uint8_t*>(text.c_str()));
}

// A positive value in thousandths; exposure times of 1 / n seconds as 1 / n.
void appendRational(std::vector<std::unique_ptr<ExifEntry>>& out, std::uint16_t tag, double value)
{
    if (!(value > 0) || value > 4e6)
        return;
    std::uint32_t pair[2];
    const double inverse = 1 / value;
    if (tag == 33434 && value < 1 && inverse < 1e9 &&
        std::fabs(inverse - std::round(inverse)) < 0.01 * inverse) {
        pair[0] = 1;
        pair[1] = std::uint32_t(std::lround(inverse));
    } else if (value < 0.0005) {
        return;  // nothing a thousandth can hold
    } else {
        pair[0] = std::uint32_t(std::lround(value * 1000));
        pair[1] = 1000;
    }
    std::uint8_t bytes[8];
    std::memcpy(bytes, pair, 8);  // host order is little-endian, the order given below
    appendEntry(out, kExifIfd, tag, kRational, 1, bytes);
}

void appendShort(std::vector<std::unique_ptr<ExifEntry>>& out, std::uint16_t ifd, std::uint16_t tag,
                 double value)
{
    if (!(value >= 0.5 && value < 65535.5))
        return;
    const std::uint16_t v = std::uint16_t(std::lround(value));
    std::uint8_t bytes[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
    appendEntry(out, ifd, tag, kShort, 1, bytes);
}

std::string exifDate(std::time_t timestamp)
{
    if (timestamp == 0)
        return {};
    // LibRaw turns the camera's local date into a time_t with the local zone; undo it so.
    std::tm parts{};
    if (!::localtime_r(&timestamp, &parts))
        return {};
    char text[20];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

ExifContainer exifContainerOf(ImageFormat format)
{
    switch (format) {
        case ImageFormat::Heif:
        case ImageFormat::Avif:
            return ExifContainer::Heif;
        case ImageFormat::Webp:
            return ExifContainer::Webp;
        case ImageFormat::Png:
            return ExifContainer::Png;
        // Raws whose files are not TIFF structures.
        case ImageFormat::CanonCr3:
        case ImageFormat::CanonCrw:
        case ImageFormat::FujiRaf:
        case ImageFormat::MinoltaMrw:
        case ImageFormat::SigmaX3f:
            return ExifContainer::Raw;
        default:
            return isCameraRaw(format) ? ExifContainer::TiffRaw : ExifContainer::None;
    }
}

bool containerExifTiff(const std::string& path, ExifContainer container,
                       std::vector<std::uint8_t>& tiff)
{
    tiff.clear();
    EmbeddedMetadata metadata;
    switch (container) {
        case ExifContainer::TiffRaw: {
            if (!readWholeFile(path, tiff))
                return false;
            // Olympus ("IIRO", "IIRS", "MMOR") and Panasonic ("IIU\0") put their own magic
            // where TIFF has 42; the directories behind it are TIFF ones.
            if (tiff.size() >= 8) {
                if (tiff[0] == 'I' && tiff[1] == 'I' && tiff[3] == 0 && tiff[2] == 'U')
                    tiff[2] = 42;
                else if (tiff[0] == 'I' && tiff[1] == 'I' && tiff[2] == 'R' &&
                         (tiff[3] == 'O' || tiff[3] == 'S'))
                    tiff[2] = 42, tiff[3] = 0;
                else if (tiff[0] == 'M' && tiff[1] == 'M' && tiff[2] == 'O' && tiff[3] == 'R')
                    tiff[2] = 0, tiff[3] = 42;
            }
            return true;
        }
        case ExifContainer::Heif:
            if (!readHeifMetadata(path, metadata))
                return false;
            tiff = std::move(metadata.exif);
            return true;
        case ExifContainer::Webp:
            if (!readWebpMetadata(path, metadata))
                return false;
            tiff = std::move(metadata.exif);
            return true;
        case ExifContainer::Png: {
            std::FILE* file = std::fopen(path.c_str(), "rb");
            if (file == nullptr)
                return false;
            (void)readPngMetadata(file, &tiff);
            std::fclose(file);
            return true;
        }
        case ExifContainer::Raw:
        case ExifContainer::None:
            break;
    }
    return true;
}

std::vector<std::unique_ptr<ExifEntry>> exifEntriesFromShot(const RawShotInfo& shot)
{
    std::vector<std::unique_ptr<ExifEntry>> out;
    appendText(out, kIfd0, 271, shot.make);
    appendText(out, kIfd0, 272, shot.model);
    appendShort(out, kIfd0, 274, shot.orientation);
    const std::string date = exifDate(shot.timestamp);
    appendText(out, kIfd0, 306, date);
    appendText(out, kIfd0, 315, shot.artist);
    appendRational(out, 33434, shot.exposureTime);
    appendRational(out, 33437, shot.aperture);
    appendShort(out, kExifIfd, 34855, shot.isoSpeed);
    appendText(out, kExifIfd, 36867, date);
    appendRational(out, 37386, shot.focalLength);
    appendText(out, kExifIfd, 44993, shot.lens);
    return out;
}

}  // namespace tavelune
