// The built-in format rows and the look-ups over them.
#include "engine/format_table.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "engine/bmp_codec.h"
#include "engine/format_dispatch.h"
#include "engine/gif_codec.h"
#include "engine/heif_codec.h"
#include "engine/jpeg_codec.h"
#include "engine/png_codec.h"
#include "engine/psd_codec.h"
#include "engine/raw_codec.h"
#include "engine/tiff_codec.h"
#include "engine/webp_codec.h"

namespace tavelune {
namespace {

template <class Codec>
std::unique_ptr<ImageCodec> make()
{
    return std::make_unique<Codec>();
}

// The raw kinds share one entry of the file dialogs.
constexpr const char* kRawFilter = "Camera Raw";
constexpr int kRawFilterText = 66003;
constexpr int kRawIcon = 9;

// format, name, extensions, codec, reads, writes, EXIF in place, MIME type, filter name,
// filter text, batch list icon, batch type text (left out by the kinds not written)
const FormatRow kBuiltIn[] = {
    {ImageFormat::Jpeg, "JPEG", {"jpg", "jpeg"}, make<JpegCodec>, true, true, true, "image/jpeg",
     "JPEG", 61101, 0, 65510},
    {ImageFormat::Tiff, "TIFF", {"tif", "tiff"}, make<TiffCodec>, true, true, true, "image/tiff",
     "TIFF", 61102, 1, 65511},
    {ImageFormat::Png, "PNG", {"png"}, make<PngCodec>, true, true, false, "image/png", "PNG",
     61105, 5, 66009},
    {ImageFormat::Gif, "GIF", {"gif"}, make<GifCodec>, true, false, false, "image/gif", "GIF",
     61103, 3},
    {ImageFormat::Psd, "PSD", {"psd"}, make<PsdCodec>, true, false, false,
     "image/vnd.adobe.photoshop", "PhotoShop", 61104, 2},
    {ImageFormat::Bmp, "BMP", {"bmp"}, make<BmpCodec>, true, true, false, "image/bmp", "BMP",
     61106, 4, 65512},
    {ImageFormat::Webp, "WebP", {"webp"}, make<WebpCodec>, true, true, false, "image/webp", "WebP",
     66000, 6, 66010},
    {ImageFormat::Heif, "HEIF", {"heic", "heif", "hif"}, make<HeifCodec>, true, false, false,
     "image/heic", "HEIF", 66001, 7},
    {ImageFormat::Avif, "AVIF", {"avif"}, make<HeifCodec>, true, false, false, "image/avif", "AVIF",
     66002, 8},
    {ImageFormat::AdobeDng, "DNG", {"dng"}, make<RawCodec>, true, false, false, "image/x-adobe-dng",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::CanonCr2, "CR2", {"cr2"}, make<RawCodec>, true, false, false, "image/x-canon-cr2",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::CanonCr3, "CR3", {"cr3"}, make<RawCodec>, true, false, false, "image/x-canon-cr3",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::CanonCrw, "CRW", {"crw"}, make<RawCodec>, true, false, false, "image/x-canon-crw",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::NikonNef, "NEF", {"nef", "nrw"}, make<RawCodec>, true, false, false,
     "image/x-nikon-nef", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::SonyArw, "ARW", {"arw", "srf", "sr2"}, make<RawCodec>, true, false, false,
     "image/x-sony-arw", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::FujiRaf, "RAF", {"raf"}, make<RawCodec>, true, false, false, "image/x-fuji-raf",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::OlympusOrf, "ORF", {"orf"}, make<RawCodec>, true, false, false,
     "image/x-olympus-orf", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::PanasonicRw2, "RW2", {"rw2", "rwl"}, make<RawCodec>, true, false, false,
     "image/x-panasonic-rw2", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::PentaxPef, "PEF", {"pef"}, make<RawCodec>, true, false, false,
     "image/x-pentax-pef", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::SamsungSrw, "SRW", {"srw"}, make<RawCodec>, true, false, false,
     "image/x-samsung-srw", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::HasselbladRaw, "3FR", {"3fr", "fff"}, make<RawCodec>, true, false, false,
     "image/x-hasselblad-3fr", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::PhaseOneIiq, "IIQ", {"iiq"}, make<RawCodec>, true, false, false,
     "image/x-phaseone-iiq", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::EpsonErf, "ERF", {"erf"}, make<RawCodec>, true, false, false, "image/x-epson-erf",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::MamiyaMef, "MEF", {"mef"}, make<RawCodec>, true, false, false,
     "image/x-mamiya-mef", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::LeafMos, "MOS", {"mos"}, make<RawCodec>, true, false, false, "image/x-leaf-mos",
     kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::KodakRaw, "DCR", {"dcr", "kdc", "k25"}, make<RawCodec>, true, false, false,
     "image/x-kodak-dcr", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::MinoltaMrw, "MRW", {"mrw"}, make<RawCodec>, true, false, false,
     "image/x-minolta-mrw", kRawFilter, kRawFilterText, kRawIcon},
    {ImageFormat::SigmaX3f, "X3F", {"x3f"}, make<RawCodec>, true, false, false, "image/x-sigma-x3f",
     kRawFilter, kRawFilterText, kRawIcon},
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

bool isCameraRaw(ImageFormat format)
{
    return formatRow(format).makeCodec == &make<RawCodec>;
}

std::string readableKinds()
{
    std::vector<std::string> names;
    std::vector<int> named;
    for (const FormatRow& row : formatTable()) {
        if (!row.reads || std::find(named.begin(), named.end(), row.filterTextId) != named.end())
            continue;
        named.push_back(row.filterTextId);
        const bool shared = std::count_if(formatTable().begin(), formatTable().end(),
                                          [&](const FormatRow& other) {
                                              return other.filterTextId == row.filterTextId;
                                          }) > 1;
        names.push_back(shared ? row.filterName : row.name);
    }
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace tavelune
