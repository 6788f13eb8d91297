// Which reader finds a file's metadata, and how its problems are told.
#include "engine/picture_metadata.h"

#include <cstdio>

#include "engine/engine_messages.h"
#include "engine/format_table.h"
#include "engine/jpeg_metadata.h"
#include "engine/message_sink.h"
#include "engine/tiff_metadata.h"

namespace tavelune {

MetadataRead readPictureMetadata(const std::string& path, std::optional<ImageFormat> format)
{
    if (!format)
        format = formatOfPath(path);
    if (!format || (*format != ImageFormat::Jpeg && *format != ImageFormat::Tiff))
        return {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {};
    MetadataRead read = *format == ImageFormat::Jpeg ? readJpegMetadata(file) : readTiffMetadata(file);
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
        case MetadataProblem::TooLarge: break;
    }
    std::string out = text;
    out.replace(out.find("%s"), 2, file);
    return out;
}

void showMetadataProblems(const std::vector<MetadataProblem>& problems, const std::string& file)
{
    for (MetadataProblem problem : problems)
        showMessage(metadataProblemText(problem, file), {}, MessageIcon::Warning);
}

}  // namespace tavelune
