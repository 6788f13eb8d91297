// ExifData: loading a file into the model, and the lookups every view uses.
#include "exif/exif_data.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

#include "engine/format_dispatch.h"
#include "exif/byte_order.h"
#include "exif/tag_catalogue.h"

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

bool ExifData::LoadExif(const std::string& path, const char* format)
{
    m_sections.clear();
    m_entries.clear();
    m_byteOrder = 0;
    m_makerNoteOffset = 0;
    m_newThumbnail.reset();
    if (!queryFileStatus(path, m_fileStatus))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    const bool ok = LoadFromStream(
        file, format != nullptr && *format != 0 ? format : splitFileName(path).extension);
    std::fclose(file);
    return ok;
}

bool ExifData::LoadExifFromBytes(const std::uint8_t* data, std::size_t size, const char* format)
{
    m_sections.clear();
    m_entries.clear();
    m_byteOrder = 0;
    m_makerNoteOffset = 0;
    m_newThumbnail.reset();
    m_fileStatus = FileStatus{};
    if (data == nullptr || size == 0 || format == nullptr)
        return false;
    // fmemopen only reads through the pointer in "rb" mode.
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr)
        return false;
    const bool ok = LoadFromStream(file, format);
    std::fclose(file);
    return ok;
}

bool ExifData::LoadFromStream(std::FILE* file, const std::string& format)
{
    const std::string kind = upperCase(format);
    if (kind == "JPEG" || kind == "JPG") {
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
            return false;
        }
    } else if (kind == "TIFF" || kind == "TIF") {
        if (!ParseTiffStream(file)) {
            m_entries.clear();
            return false;
        }
    } else {
        return false;
    }
    ReadMakerNotes();
    if (!m_entries.empty())
        SortEntries();
    return true;
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

double ExifData::GetNumber(std::uint16_t ifd, std::uint16_t tag, std::uint32_t index) const
{
    const ExifEntry* entry = FindEntry(ifd, tag);
    return entry != nullptr ? entry->GetNumber(index) : 0;
}

std::string ExifData::GetText(std::uint16_t ifd, std::uint16_t tag, std::string_view language) const
{
    const ExifEntry* entry = FindEntry(ifd, tag);
    return entry != nullptr ? entry->GetText(language) : std::string();
}

const ExifEntry* ExifData::FindEntry(std::uint16_t ifd, std::uint16_t tag) const
{
    for (const auto& entry : m_entries) {
        if (entry->tag() == tag && entry->ifd() == ifd)
            return entry.get();
    }
    return nullptr;
}

ExifEntry* ExifData::FindEntry(std::uint16_t ifd, std::uint16_t tag, EntryLookup lookup)
{
    for (const auto& entry : m_entries) {
        if (entry->tag() == tag && entry->ifd() == ifd)
            return entry.get();
    }
    if (lookup != EntryLookup::Create)
        return nullptr;
    const TagInfo* info = findTagInfo(ifd, tag);
    if (info == nullptr)
        return nullptr;
    try {
        const std::vector<std::uint8_t> bytes = defaultTagValue(*info);
        auto entry = std::make_unique<ExifEntry>();
        if (!entry->SetFromRaw(ifd, tag, info->type,
                               static_cast<std::uint32_t>(bytes.size() / exifTypeSize(info->type)),
                               bytes.data(), exif::kIntel))
            return nullptr;
        m_entries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return m_entries.back().get();
}

bool ExifData::RemoveEntry(std::uint16_t ifd, std::uint16_t tag)
{
    auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const auto& entry) {
        return entry->tag() == tag && entry->ifd() == ifd;
    });
    if (found == m_entries.end())
        return false;
    m_entries.erase(found);
    return true;
}

void ExifData::SortEntries()
{
    // Stable, so entries of equal tag keep their load order and every run lists the same.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const auto& a, const auto& b) { return a->tag() < b->tag(); });
}

}  // namespace tavelune
