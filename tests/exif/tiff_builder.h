// Builds TIFF and JPEG bytes with chosen directory entries, for the parser tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "exif/byte_order.h"
#include "exif/exif_entry.h"

namespace tavelune::test {

/// Lays out a TIFF header, IFD0, the Exif IFD, the Interoperability IFD and the GPS IFD, each
/// followed by its long values; pointer entries are added where the sub-directories have
/// entries.
class TiffBuilder {
public:
    struct Layout {
        std::vector<std::uint8_t> bytes;
        std::uint32_t ifd0 = 0;
        std::uint32_t exif = 0;     // 0 when not written
        std::uint32_t interop = 0;  // 0 when not written
        std::uint32_t gps = 0;      // 0 when not written
    };

    explicit TiffBuilder(int order) : m_order(order) {}

    /// Adds an entry whose value bytes are already in the file's byte order.
    TiffBuilder& addRaw(std::uint16_t ifd, std::uint16_t tag, std::uint16_t type,
                        std::uint32_t count, std::vector<std::uint8_t> fileBytes)
    {
        m_entries.push_back({ifd, tag, type, count, std::move(fileBytes)});
        return *this;
    }

    TiffBuilder& addShorts(std::uint16_t ifd, std::uint16_t tag, std::vector<std::uint16_t> values)
    {
        std::vector<std::uint8_t> bytes(values.size() * 2);
        for (std::size_t i = 0; i < values.size(); ++i)
            exif::writeU16(bytes, i * 2, m_order, values[i]);
        return addRaw(ifd, tag, kShort, static_cast<std::uint32_t>(values.size()), bytes);
    }

    TiffBuilder& addLongs(std::uint16_t ifd, std::uint16_t tag, std::vector<std::uint32_t> values,
                          std::uint16_t type = kLong)
    {
        std::vector<std::uint8_t> bytes(values.size() * 4);
        for (std::size_t i = 0; i < values.size(); ++i)
            exif::writeU32(bytes, i * 4, m_order, values[i]);
        return addRaw(ifd, tag, type, static_cast<std::uint32_t>(values.size()), bytes);
    }

    TiffBuilder& addRationals(std::uint16_t ifd, std::uint16_t tag,
                              std::vector<std::pair<std::uint32_t, std::uint32_t>> values,
                              std::uint16_t type = kRational)
    {
        std::vector<std::uint8_t> bytes(values.size() * 8);
        for (std::size_t i = 0; i < values.size(); ++i) {
            exif::writeU32(bytes, i * 8, m_order, values[i].first);
            exif::writeU32(bytes, i * 8 + 4, m_order, values[i].second);
        }
        return addRaw(ifd, tag, type, static_cast<std::uint32_t>(values.size()), bytes);
    }

    TiffBuilder& addAscii(std::uint16_t ifd, std::uint16_t tag, const std::string& text)
    {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        return addRaw(ifd, tag, kAscii, static_cast<std::uint32_t>(bytes.size()), bytes);
    }

    TiffBuilder& addUndefined(std::uint16_t ifd, std::uint16_t tag, std::vector<std::uint8_t> bytes)
    {
        const auto count = static_cast<std::uint32_t>(bytes.size());
        return addRaw(ifd, tag, kUndefined, count, std::move(bytes));
    }

    Layout build() const
    {
        Layout layout;
        std::vector<std::uint8_t>& out = layout.bytes;
        out.resize(8);
        out[0] = out[1] = m_order == exif::kIntel ? 'I' : 'M';
        exif::writeU16(out, 2, m_order, 42);
        exif::writeU32(out, 4, m_order, 8);
        const bool hasInterop = countOf(kInteropIfd) > 0;
        const bool hasExif = countOf(kExifIfd) > 0 || hasInterop;
        const bool hasGps = countOf(kGpsIfd) > 0;
        layout.ifd0 = 8;
        std::vector<std::uint16_t> ifd0Pointers;
        if (hasExif)
            ifd0Pointers.push_back(kExifIfd);
        if (hasGps)
            ifd0Pointers.push_back(kGpsIfd);
        const std::vector<std::size_t> pointers = writeDirectory(out, kIfd0, ifd0Pointers);
        if (hasExif) {
            layout.exif = static_cast<std::uint32_t>(out.size());
            exif::writeU32(out, pointers[0], m_order, layout.exif);
            const std::vector<std::size_t> interopPointer =
                writeDirectory(out, kExifIfd,
                               hasInterop ? std::vector<std::uint16_t>{kInteropIfd}
                                          : std::vector<std::uint16_t>{});
            if (hasInterop) {
                layout.interop = static_cast<std::uint32_t>(out.size());
                exif::writeU32(out, interopPointer[0], m_order, layout.interop);
                writeDirectory(out, kInteropIfd, {});
            }
        }
        if (hasGps) {
            layout.gps = static_cast<std::uint32_t>(out.size());
            exif::writeU32(out, pointers.back(), m_order, layout.gps);
            writeDirectory(out, kGpsIfd, {});
        }
        return layout;
    }

private:
    struct Entry {
        std::uint16_t ifd;
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        std::vector<std::uint8_t> bytes;
    };

    std::size_t countOf(std::uint16_t ifd) const
    {
        std::size_t n = 0;
        for (const Entry& entry : m_entries) n += entry.ifd == ifd;
        return n;
    }

    // Writes one directory and its values, the pointers last; returns where each pointer's
    // value goes.
    std::vector<std::size_t> writeDirectory(std::vector<std::uint8_t>& out, std::uint16_t ifd,
                                            const std::vector<std::uint16_t>& pointerTags) const
    {
        const std::size_t start = out.size();
        const std::size_t n = countOf(ifd) + pointerTags.size();
        out.resize(start + 2 + 12 * n + 4, 0);
        exif::writeU16(out, start, m_order, static_cast<std::uint16_t>(n));
        std::size_t slot = start + 2;
        for (const Entry& entry : m_entries) {
            if (entry.ifd != ifd)
                continue;
            exif::writeU16(out, slot, m_order, entry.tag);
            exif::writeU16(out, slot + 2, m_order, entry.type);
            exif::writeU32(out, slot + 4, m_order, entry.count);
            if (entry.bytes.size() <= 4) {
                std::copy(entry.bytes.begin(), entry.bytes.end(), out.begin() + slot + 8);
            } else {
                exif::writeU32(out, slot + 8, m_order, static_cast<std::uint32_t>(out.size()));
                out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
                if (out.size() % 2)
                    out.push_back(0);
            }
            slot += 12;
        }
        std::vector<std::size_t> pointerValues;
        for (std::uint16_t tag : pointerTags) {
            exif::writeU16(out, slot, m_order, tag);
            exif::writeU16(out, slot + 2, m_order, kLong);
            exif::writeU32(out, slot + 4, m_order, 1);
            pointerValues.push_back(slot + 8);
            slot += 12;
        }
        return pointerValues;
    }

    int m_order;
    std::vector<Entry> m_entries;
};

/// A JPEG file around TIFF bytes: SOI, optional JFIF APP0, the Exif APP1, a short scan, EOI.
inline std::vector<std::uint8_t> jpegWithExif(const std::vector<std::uint8_t>& tiff,
                                              bool withJfif = false)
{
    std::vector<std::uint8_t> out = {0xFF, 0xD8};
    if (withJfif) {
        const std::uint8_t app0[] = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0,
                                     1,    2,    1, 0,  72,  0,   72,  0,   0};
        out.insert(out.end(), std::begin(app0), std::end(app0));
    }
    const std::size_t length = tiff.size() + 8;
    const std::uint8_t head[] = {0xFF,
                                 0xE1,
                                 static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length),
                                 'E',
                                 'x',
                                 'i',
                                 'f',
                                 0,
                                 0};
    out.insert(out.end(), std::begin(head), std::end(head));
    out.insert(out.end(), tiff.begin(), tiff.end());
    const std::uint8_t tail[] = {0xFF, 0xDA, 0, 4, 1, 2, 0x11, 0x22, 0x33, 0xFF, 0xD9};
    out.insert(out.end(), std::begin(tail), std::end(tail));
    return out;
}

}  // namespace tavelune::test
