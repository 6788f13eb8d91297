// ExifData: loading a JPEG or TIFF file (or its bytes) into the model.
#include <cctype>
#include <filesystem>

#include "engine/codec_support.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "exif/container_exif.h"
#include "exif/exif_data.h"

namespace tavelune {
namespace {

std::string upperCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool queryFileStatus(const std::string& path, FileStatus& status)
{
    status = FileStatus{};
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    status.path = error ? path : absolute.lexically_normal().string();
    status.info = info;
    return true;
}

void ExifData::StartLoad()
{
    m_sections.clear();
    m_entries.clear();
    m_warnings.clear();
    m_byteOrder = 0;
    m_makerNoteOffset = 0;
    m_newThumbnail.reset();
}

void ExifData::TakeWarnings(const ExifData& other)
{
    m_warnings.insert(m_warnings.end(), other.m_warnings.begin(), other.m_warnings.end());
}

ExifStatus ExifData::LoadExif(const std::string& path, std::optional<ImageFormat> format)
{
    StartLoad();
    if (!queryFileStatus(path, m_fileStatus))
        return {ExifError::CannotRead, path};
    const std::optional<ImageFormat> kind = format ? format : formatOfPath(path);
    if (kind && exifContainerOf(*kind) != ExifContainer::None)
        return LoadContainerExif(path, *kind);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {ExifError::CannotRead, path};
    ExifStatus status = kind ? LoadFromStream(file, *kind) : ExifStatus(ExifError::NotJpegOrTiff);
    std::fclose(file);
    return status;
}

ExifStatus ExifData::LoadContainerExif(const std::string& path, ImageFormat format)
{
    const ExifContainer container = exifContainerOf(format);
    std::vector<std::uint8_t> tiff;
    if (!containerExifTiff(path, container, tiff))
        return {ExifError::CannotRead, path};
    bool ok = false;
    if (!tiff.empty()) {
        // fmemopen only reads through the pointer in "rb" mode.
        std::FILE* file = ::fmemopen(tiff.data(), tiff.size(), "rb");
        if (file != nullptr) {
            ok = LoadFromStream(file, ImageFormat::Tiff).ok() && !m_entries.empty();
            std::fclose(file);
        }
    }
    if (!ok && (container == ExifContainer::TiffRaw || container == ExifContainer::Raw)) {
        m_entries.clear();
        RawShotInfo shot;
        if (!readRawShotInfo(path, shot)) {
            for (const Failure<ImageError>& box : takeLibraryBoxes())
                if (box.code == ImageError::DeveloperRefused)
                    Warn(ExifError::DeveloperRefused, box.detail);
            return {ExifError::NoExifData, path};
        }
        m_entries = exifEntriesFromShot(shot);
        ok = !m_entries.empty();
        if (ok)
            SortEntries();
    }
    if (!ok)
        return ExifError::NoExifData;
    return {};
}

bool ExifData::LoadExifFromBytes(const std::uint8_t* data, std::size_t size, ImageFormat format)
{
    StartLoad();
    m_fileStatus = FileStatus{};
    if (data == nullptr || size == 0)
        return false;
    // fmemopen only reads through the pointer in "rb" mode.
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return false;
    const bool ok = LoadFromStream(file, format).ok();
    std::fclose(file);
    return ok;
}

ExifStatus ExifData::LoadFromStream(std::FILE* file, ImageFormat format)
{
    if (format == ImageFormat::Jpeg) {
        const int kept = ReadJpegSections(file);
        const JpegSection* app1 = nullptr;
        for (const auto& section : m_sections) {
            if (section->marker == kMarkerApp1) {
                app1 = section.get();
                break;
            }
        }
        const bool ok = kept > 0 && app1 != nullptr && ParseApp1(*app1);
        m_sections.clear();
        if (!ok) {
            m_entries.clear();
            return kept < 0 ? ExifError::BadJpeg : ExifError::NoExifData;
        }
    } else if (format == ImageFormat::Tiff) {
        if (!ParseTiffStream(file)) {
            m_entries.clear();
            return ExifError::NoExifData;
        }
    } else {
        return ExifError::NotJpegOrTiff;
    }
    ReadMakerNotes();
    if (!m_entries.empty())
        SortEntries();
    return {};
}

void ExifData::ReadMakerNotes()
{
    const ExifEntry* makerNote = FindEntry(kExifIfd, kTagMakerNote);
    if (FindEntry(kIfd0, kTagMake) == nullptr || FindEntry(kIfd0, kTagModel) == nullptr ||
        makerNote == nullptr)
        return;
    const std::string make = upperCase(GetText(kIfd0, kTagMake, "en_US").substr(0, 5));
    if (make == "CANON")
        ReadCanonMakerNote(*makerNote);
    else if (make == "NIKON")
        ReadNikonMakerNote(*makerNote);
}

}  // namespace tavelune
