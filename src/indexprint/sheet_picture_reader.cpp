// Reading a sheet picture: the JPEG reduction rule and the open road for every other format.
#include "indexprint/sheet_picture_reader.h"

#include <cstdint>
#include <new>
#include <memory>
#include <optional>
#include <utility>
#include <string_view>
#include <vector>

#include "engine/codec_support.h"
#include "engine/colour_profile.h"
#include "engine/engine_messages.h"
#include "engine/exif_orientation.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/jpeg_codec.h"
#include "engine/picture_metadata.h"
#include "engine/raw_codec.h"
#include "exif/exif_data.h"
#include "exif/exif_tags.h"
#include "indexprint/fit_rectangle.h"

namespace tavelune {
namespace {

bool isJpegPath(const std::string& path)
{
    return formatOfPath(path) == ImageFormat::Jpeg;
}

bool isRawPath(const std::string& path)
{
    const std::optional<ImageFormat> format = formatOfPath(path);
    return format && isCameraRaw(*format);
}

// The raw's embedded preview when it covers the picture's rectangle in the cell: the
// camera's own rendering, decoded in a fraction of a development's time.
bool readRawPreviewFor(const std::string& path, int cellWidth, int cellHeight, int fitMode,
                       SheetPicture& out)
{
    Image preview;
    if (!readRawPreview(path, cellWidth, cellHeight, preview))
        return false;
    const Rect fitted = fitRectangle(Rect{0, 0, cellWidth, cellHeight}, preview.width(),
                                     preview.height(), fitMode);
    if (preview.width() < fitted.width() || preview.height() < fitted.height())
        return false;
    out.picture = std::move(preview);
    out.sourceWidth = out.picture.width();
    out.sourceHeight = out.picture.height();
    out.opened = true;
    return true;
}

void readInto(const std::string& path, int cellWidth, int cellHeight, int fitMode,
              bool reduceLargeJpeg, bool turned, SheetPicture& out)
{
    clearCodecFailure();
    if (reduceLargeJpeg && isJpegPath(path)) {
        // A picture that will be turned a quarter fills the cell with its other side.
        const auto reduction = [&](int width, int height) {
            out.sourceWidth = width;
            out.sourceHeight = height;
            return turned ? sheetPictureReduction(height, width, cellWidth, cellHeight, fitMode)
                          : sheetPictureReduction(width, height, cellWidth, cellHeight, fitMode);
        };
        out.opened = readJpegReduced(path, out.picture, reduction);
        if (!out.opened)
            out.boxes = imageBoxes(readFailure(path));
        return;
    }
    if (reduceLargeJpeg && isRawPath(path) &&
        readRawPreviewFor(path, cellWidth, cellHeight, fitMode, out))
        return;
    ImageHandle handle;
    if (const ImageStatus opened = handle.open(path); !opened) {
        out.boxes = imageBoxes(opened);
        return;
    }
    if (!handle.image())
        return;
    out.picture = std::move(*handle.image());
    out.sourceWidth = out.picture.width();
    out.sourceHeight = out.picture.height();
    out.opened = true;
}

// The EXIF orientation of a JPEG, TIFF, PNG or WebP, 1 when it has none; read quietly, since
// a file without EXIF is no fault of a contact sheet. Raw and HEIF decoders turn their own.
int storedOrientation(const std::string& path)
{
    const std::optional<ImageFormat> format = formatOfPath(path);
    if (!format || (!formatRow(*format).exifInPlace && format != ImageFormat::Png &&
                    format != ImageFormat::Webp))
        return 1;
    ExifData exif;
    if (!exif.LoadExif(path) || exif.IsEmpty())
        return 1;
    return int(exif.GetNumber(kIfd0, kTagOrientation, 0));
}

// The sheet is tagged sRGB: a picture in another profile's colours is turned into sRGB's, or it
// would look dull (or garish) there. Many sheets hold one camera's profile, hence the shared one.
void intoSheetColours(const std::string& path, Image& picture)
{
    const std::vector<std::uint8_t> icc = readPictureMetadata(path).metadata.icc;
    if (icc.empty() || isOurSrgbProfile(icc))
        return;
    if (const std::shared_ptr<const SrgbConversion> conversion = sharedSrgbConversion(icc))
        for (int y = 0; y < picture.height(); ++y)
            conversion->convert(picture.rowFromTop(y), std::size_t(picture.width()));
}

}  // namespace

int sheetPictureReduction(int width, int height, int cellWidth, int cellHeight, int fitMode)
{
    if (width <= 0 || height <= 0 || cellWidth <= 0 || cellHeight <= 0)
        return 1;
    const Rect fitted = fitRectangle(Rect{0, 0, cellWidth, cellHeight}, width, height, fitMode);
    const int64_t fittedWidth = fitted.width();
    const int64_t fittedHeight = fitted.height();
    if (fittedWidth <= 0 || fittedHeight <= 0)
        return 1;
    for (const int64_t d : {8, 4, 2})
        if (width >= 2 * d * fittedWidth && height >= 2 * d * fittedHeight)
            return int(d);
    return 1;
}

void readSheetPicture(const std::string& path, int cellWidth, int cellHeight, int fitMode,
                      bool reduceLargeJpeg, SheetPicture& out, bool upright)
{
    out = SheetPicture{};
    try {
        const int orientation = upright ? storedOrientation(path) : 1;
        const bool turned = orientation >= 5 && orientation <= 8;
        readInto(path, cellWidth, cellHeight, fitMode, reduceLargeJpeg, turned, out);
        if (out.opened)
            intoSheetColours(path, out.picture);
        if (out.opened && orientation > 1 && applyExifOrientation(out.picture, orientation) &&
            turned)
            std::swap(out.sourceWidth, out.sourceHeight);
    } catch (const std::bad_alloc&) {
        out.opened = false;
        out.picture.reset();
    }
}

}  // namespace tavelune
