// Which reader finds a file's metadata, and how its problems are told.
#include "engine/picture_metadata.h"

#include <cstdio>

#include "engine/container_metadata.h"
#include "engine/engine_messages.h"
#include "engine/format_table.h"
#include "engine/heif_codec.h"
#include "engine/jpeg_metadata.h"
#include "engine/tiff_metadata.h"
#include "engine/webp_codec.h"

namespace tavelune {
namespace {

// HEIF and WebP files are parsed by their own libraries, which give the blocks whole.
MetadataRead fromContainer(const std::string& path,
                           bool (*read)(const std::string&, EmbeddedMetadata&))
{
    MetadataRead out;
    EmbeddedMetadata embedded;
    if (!read(path, embedded))
        return out;
    if (embedded.icc.size() > kMaxMetadataBytes || embedded.xmp.size() > kMaxMetadataBytes) {
        out.problems.push_back(MetadataProblem::TooLarge);
        return out;
    }
    out.metadata.icc = std::move(embedded.icc);
    out.metadata.xmp.assign(embedded.xmp.begin(), embedded.xmp.end());
    return out;
}

}  // namespace

MetadataRead readPictureMetadata(const std::string& path, std::optional<ImageFormat> format)
{
    if (!format)
        format = formatOfPath(path);
    MetadataRead (*reader)(std::FILE*) = nullptr;
    switch (format.value_or(ImageFormat::Bmp)) {
        case ImageFormat::Jpeg: reader = readJpegMetadata; break;
        case ImageFormat::Tiff: reader = readTiffMetadata; break;
        case ImageFormat::Png: reader = [](std::FILE* file) { return readPngMetadata(file); }; break;
        case ImageFormat::Psd: reader = readPsdMetadata; break;
        case ImageFormat::Gif: reader = readGifMetadata; break;
        case ImageFormat::Heif:
        case ImageFormat::Avif: return fromContainer(path, readHeifMetadata);
        case ImageFormat::Webp: return fromContainer(path, readWebpMetadata);
        default: return {};
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {};
    MetadataRead read = reader(file);
    std::fclose(file);
    return read;
}

std::string metadataProblemText(MetadataProblem problem, const std::string& file)
{
    const char* text = messages::kMetadataTooLarge;
    switch (problem) {
        case MetadataProblem::IccSequence: text = messages::kMetadataIccSequence; break;
        case MetadataProblem::ExtendedXmpBroken: text = messages::kMetadataExtendedXmp; break;
        case MetadataProblem::PhotoshopBroken: text = messages::kMetadataPhotoshop; break;
        case MetadataProblem::ProfileNotConverted: text = messages::kProfileNotConverted; break;
        case MetadataProblem::TooLarge: break;
    }
    std::string out = text;
    out.replace(out.find("%s"), 2, file);
    return out;
}

}  // namespace tavelune
