// The built-in format rows and the look-ups over them.
#include "engine/format_table.h"

#include <cctype>
#include <vector>

#include "engine/bmp_codec.h"
#include "engine/format_dispatch.h"
#include "engine/gif_codec.h"
#include "engine/jpeg_codec.h"
#include "engine/png_codec.h"
#include "engine/psd_codec.h"
#include "engine/tiff_codec.h"

namespace tavelune {
namespace {

template <class Codec>
std::unique_ptr<ImageCodec> make()
{
    return std::make_unique<Codec>();
}

// format, name, extensions, codec, reads, writes, EXIF in place, MIME type, filter name,
// filter text, batch list icon
const FormatRow kBuiltIn[] = {
    {ImageFormat::Jpeg, "JPEG", {"jpg", "jpeg"}, make<JpegCodec>, true, true, true, "image/jpeg",
     "JPEG", 61101, 0},
    {ImageFormat::Tiff, "TIFF", {"tif", "tiff"}, make<TiffCodec>, true, true, true, "image/tiff",
     "TIFF", 61102, 1},
    {ImageFormat::Png, "PNG", {"png"}, make<PngCodec>, true, false, false, "image/png", "PNG",
     61105, 5},
    {ImageFormat::Gif, "GIF", {"gif"}, make<GifCodec>, true, false, false, "image/gif", "GIF",
     61103, 3},
    {ImageFormat::Psd, "PSD", {"psd"}, make<PsdCodec>, true, false, false,
     "image/vnd.adobe.photoshop", "PhotoShop", 61104, 2},
    {ImageFormat::Bmp, "BMP", {"bmp"}, make<BmpCodec>, true, true, false, "image/bmp", "BMP",
     61106, 4},
};

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::span<const FormatRow> formatTable()
{
    static const std::vector<FormatRow> rows = [] {
        std::vector<FormatRow> all(std::begin(kBuiltIn), std::end(kBuiltIn));
        for (const FormatRow& row : extraFormatRows()) all.push_back(row);
        return all;
    }();
    return rows;
}

const FormatRow* findFormat(std::string_view extension)
{
    for (const FormatRow& row : formatTable())
        for (const char* known : row.extensions)
            if (known && sameIgnoringCase(extension, known))
                return &row;
    return nullptr;
}

const FormatRow& formatRow(ImageFormat format)
{
    for (const FormatRow& row : formatTable())
        if (row.format == format)
            return row;
    return kBuiltIn[0];  // unreachable: every ImageFormat has a row
}

std::optional<ImageFormat> formatOfPath(const std::string& path)
{
    const FormatRow* row = findFormat(splitFileName(path).extension);
    if (!row)
        return std::nullopt;
    return row->format;
}

std::unique_ptr<ImageCodec> createCodec(ImageFormat format)
{
    return formatRow(format).makeCodec();
}

}  // namespace tavelune
