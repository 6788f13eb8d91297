// ExifData: the lookups every view uses, and the starting set of a picture without EXIF data.
#include "exif/exif_data.h"

#include <algorithm>
#include <new>

#include "exif/byte_order.h"
#include "exif/entry_values.h"
#include "exif/tag_catalogue.h"

namespace tavelune {

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

bool ExifData::CreateDefaultEntries(std::uint32_t width, std::uint32_t height, double xResolution,
                                    double yResolution)
{
    struct Pair {
        std::uint16_t ifd, tag;
    };
    static constexpr Pair kStartingSet[] = {
        {kIfd0, kTagImageDescription},   {kIfd0, kTagOrientation},
        {kIfd0, kTagXResolution},        {kIfd0, kTagYResolution},
        {kIfd0, kTagResolutionUnit},     {kIfd0, kTagSoftware},
        {kIfd0, kTagDateTime},           {kIfd0, kTagArtist},
        {kIfd0, kTagYCbCrPositioning},   {kIfd0, kTagCopyright},
        {kExifIfd, kTagExifVersion},     {kExifIfd, kTagComponentsConfiguration},
        {kExifIfd, kTagFlashPixVersion}, {kExifIfd, kTagColorSpace},
        {kExifIfd, kTagPixelXDimension}, {kExifIfd, kTagPixelYDimension},
    };
    m_entries.clear();
    for (const Pair& pair : kStartingSet) {
        if (FindEntry(pair.ifd, pair.tag, EntryLookup::Create) == nullptr) {
            m_entries.clear();
            return false;
        }
    }
    // A picture without a resolution keeps the default 72 dpi.
    const bool ok =
        (xResolution <= 0 ||
         setRationalValue(FindEntry(kIfd0, kTagXResolution, EntryLookup::Existing), xResolution)) &&
        (yResolution <= 0 ||
         setRationalValue(FindEntry(kIfd0, kTagYResolution, EntryLookup::Existing), yResolution)) &&
        setLongValue(FindEntry(kExifIfd, kTagPixelXDimension, EntryLookup::Existing), width) &&
        setLongValue(FindEntry(kExifIfd, kTagPixelYDimension, EntryLookup::Existing), height);
    if (!ok)
        m_entries.clear();
    return ok;
}

}  // namespace tavelune
