// The file formats the program knows: one row each, looked up by extension or by format.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/image_codec.h"
#include "engine/image_format.h"

namespace tavelune {

struct FormatRow {
    ImageFormat format;
    /// The kind as the command line's help names it ("JPEG").
    const char* name;
    /// Lower case, without the dot; the first is the one a written file gets. Unused slots
    /// are null.
    std::array<const char*, 4> extensions;
    std::unique_ptr<ImageCodec> (*makeCodec)();
    bool reads;
    bool writes;
    /// The file carries EXIF data the editor and the keep-EXIF save change in place.
    bool exifInPlace;
    const char* mimeType;
    /// The kind's name in the engine's own picture filter ("PhotoShop" gives "PhotoShop Files").
    const char* filterName;
    /// The string-table text naming the kind in the desktop program's file dialogs, which
    /// list the kinds in the order of these numbers. The camera raw rows share one.
    int filterTextId;
    /// The batch list's file-type icon; -1 for none.
    int listIcon;
    /// The string-table text naming a written kind in the batch's type list, which lists the
    /// kinds in the order of these numbers; 0 for a kind that is not written.
    int batchTextId;
};

/// Every row, the built-in ones in the order the command line's help lists them, then any a
/// build adds (see extraFormatRows).
std::span<const FormatRow> formatTable();

/// Rows a build adds after the built-in ones; empty in the program. A test program links its
/// own definition to see a new row reach every list.
std::span<const FormatRow> extraFormatRows();

/// The row of an extension or format token ("jpg", "TIFF"; case does not matter), or null.
const FormatRow* findFormat(std::string_view extension);
/// The row of format; every ImageFormat has one.
const FormatRow& formatRow(ImageFormat format);
/// The format of a path's extension (the text after the file name's last '.'), if known.
std::optional<ImageFormat> formatOfPath(const std::string& path);

std::unique_ptr<ImageCodec> createCodec(ImageFormat format);

/// Camera raw files: developed on reading, never written, their EXIF data never rewritten.
bool isCameraRaw(ImageFormat format);

/// "JPEG, TIFF, ..., AVIF or Camera Raw": the readable kinds as help texts name them, kinds
/// sharing a dialog entry (the camera raws) named once by it.
std::string readableKinds();

/// The extension a written file of that format gets ("jpg").
inline const char* defaultExtension(ImageFormat format)
{
    return formatRow(format).extensions[0];
}

}  // namespace tavelune
