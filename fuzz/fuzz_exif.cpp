// libFuzzer target: EXIF loading from JPEG and TIFF bytes, and the Canon and Nikon maker notes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "exif/exif_list.h"
#include "quiet_messages.h"

namespace {

using tavelune::ExifData;

// A TIFF file whose IFD0 names the maker and whose Exif IFD holds `note` as the MakerNote, so
// the note reaches its reader through the real load path.
std::vector<std::uint8_t> wrapMakerNote(const std::uint8_t* note, std::size_t size, int order,
                                        const char* make)
{
    using tavelune::exif::writeU16;
    using tavelune::exif::writeU32;
    std::vector<std::uint8_t> out(8 + 2 + 3 * 12 + 4 + 16 + 2 + 12 + 4, 0);
    out[0] = out[1] = order == tavelune::exif::kIntel ? 'I' : 'M';
    writeU16(out, 2, order, 42);
    writeU32(out, 4, order, 8);
    const std::size_t makeAt = 8 + 2 + 36 + 4;
    const std::size_t exifAt = makeAt + 16;
    const std::size_t noteAt = exifAt + 2 + 12 + 4;
    writeU16(out, 8, order, 3);
    auto entry = [&](std::size_t at, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                     std::uint32_t word) {
        writeU16(out, at, order, tag);
        writeU16(out, at + 2, order, type);
        writeU32(out, at + 4, order, count);
        writeU32(out, at + 8, order, word);
    };
    entry(10, 271, 2, 16, static_cast<std::uint32_t>(makeAt));
    entry(22, 272, 2, 2, 0);
    entry(34, 34665, 4, 1, static_cast<std::uint32_t>(exifAt));
    out[30] = 'M';  // Model "M", inline
    for (std::size_t i = 0; make[i] != 0 && i < 15; ++i)
        out[makeAt + i] = static_cast<std::uint8_t>(make[i]);
    writeU16(out, exifAt, order, 1);
    entry(exifAt + 2, 37500, 7, static_cast<std::uint32_t>(size),
          size > 4 ? static_cast<std::uint32_t>(noteAt) : 0);
    if (size <= 4) {
        for (std::size_t i = 0; i < size; ++i) out[exifAt + 2 + 8 + i] = note[i];
    } else {
        out.insert(out.end(), note, note + size);
    }
    return out;
}

void exercise(const ExifData& exif)
{
    for (const char* language : {"en_US", "zh_CN", "zh_TW"}) {
        for (const auto& entry : exif.entries()) {
            volatile std::size_t sink =
                entry->GetText(language).size() + entry->GetName(language).size();
            (void)sink;
        }
        volatile std::size_t rows = tavelune::buildExifListRows(exif, language).size();
        (void)rows;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    silenceMessages();
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0] % 6;
    const std::uint8_t* body = data + 1;
    const std::size_t length = size - 1;
    ExifData exif;
    switch (mode) {
        case 0:
            exif.LoadExifFromBytes(body, length, tavelune::ImageFormat::Jpeg);
            break;
        case 1:
            exif.LoadExifFromBytes(body, length, tavelune::ImageFormat::Tiff);
            break;
        default: {
            const int order = mode % 2 == 0 ? tavelune::exif::kIntel : tavelune::exif::kMotorola;
            const char* make = mode < 4 ? "Canon" : "NIKON CORPORATION";
            const std::vector<std::uint8_t> tiff = wrapMakerNote(body, length, order, make);
            exif.LoadExifFromBytes(tiff.data(), tiff.size(), tavelune::ImageFormat::Tiff);
            break;
        }
    }
    exercise(exif);
    return 0;
}
