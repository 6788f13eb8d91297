// libFuzzer target: the EXIF model built from a raw's shot information, and the EXIF block
// finder of HEIF and WebP files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/embedded_metadata.h"
#include "exif/container_exif.h"
#include "exif/exif_data.h"
#include "quiet_messages.h"

namespace {

template <class T>
T take(const uint8_t*& data, size_t& size)
{
    T value{};
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

std::string text(const uint8_t*& data, size_t& size)
{
    const size_t n = std::min<size_t>(take<uint8_t>(data, size), size);
    std::string out(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    const std::vector<uint8_t> tiff = tavelune::exifFromTiffHeader(data, size);
    tavelune::ExifData parsed;
    if (!tiff.empty())
        parsed.LoadExifFromBytes(tiff.data(), tiff.size(), tavelune::ImageFormat::Tiff);

    tavelune::RawShotInfo shot;
    shot.make = text(data, size);
    shot.model = text(data, size);
    shot.lens = text(data, size);
    shot.artist = text(data, size);
    shot.isoSpeed = take<double>(data, size);
    shot.exposureTime = take<double>(data, size);
    shot.aperture = take<double>(data, size);
    shot.focalLength = take<double>(data, size);
    shot.timestamp = take<int64_t>(data, size);
    shot.orientation = take<int8_t>(data, size);
    tavelune::ExifData model;
    for (auto& entry : tavelune::exifEntriesFromShot(shot))
        model.entries().push_back(std::move(entry));
    model.SortEntries();
    // Every known value makes an entry; an unknown one none.
    if (shot.make.empty() != (model.FindEntry(tavelune::kIfd0, 271) == nullptr))
        __builtin_trap();
    if ((shot.isoSpeed >= 0.5 && shot.isoSpeed < 65535.5) !=
        (model.FindEntry(tavelune::kExifIfd, 34855) != nullptr))
        __builtin_trap();
    return 0;
}
