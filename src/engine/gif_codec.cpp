// GIF reading of the first image: the logical screen filled with the background, the frame
// drawn at its position, transparent indices leaving the background visible.
#include "engine/gif_codec.h"

#include <vector>

#include <gif_lib.h>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

constexpr int kGraphicControl = 0xF9;

uint32_t mapColour(const ColorMapObject* map, int index, uint32_t alpha)
{
    const GifColorType& c = map->Colors[index];
    return (alpha << 24) | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
}

bool giflibFailure(int code)
{
    const char* text = GifErrorString(code);
    noteCodecFailure(text ? text : "GIF error");
    return false;
}

bool readFrame(GifFileType* gif, Image& out, int transparent, std::vector<GifPixelType>& row)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return giflibFailure(gif->Error);
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!map || !map->Colors) {
        noteCodecFailure("GIF frame without a colour map");
        return false;
    }
    if (frame.Left < 0 || frame.Top < 0 || frame.Width < 0 || frame.Height < 0 ||
        frame.Left + frame.Width > gif->SWidth || frame.Top + frame.Height > gif->SHeight) {
        noteCodecFailure("GIF frame outside the screen");
        return false;
    }
    auto drawRow = [&](int y) {
        if (DGifGetLine(gif, row.data(), frame.Width) == GIF_ERROR)
            return giflibFailure(gif->Error);
        uint32_t* target = out.rowFromTop(frame.Top + y) + frame.Left;
        for (int x = 0; x < frame.Width; ++x) {
            const int index = row[size_t(x)];
            // Indices beyond the map, like the transparent one, leave the background.
            if (index != transparent && index < map->ColorCount)
                target[x] = mapColour(map, index, 0xFF);
        }
        return true;
    };
    if (frame.Interlace) {
        constexpr int kStart[4] = {0, 4, 2, 1};
        constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < frame.Height; y += kStep[pass])
                if (!drawRow(y))
                    return false;
    } else {
        for (int y = 0; y < frame.Height; ++y)
            if (!drawRow(y))
                return false;
    }
    return true;
}

bool decode(GifFileType* gif, Image& out)
{
    if (!out.create(gif->SWidth, gif->SHeight, 72.0f)) {
        noteCodecFailure("bad GIF screen size or out of memory");
        return false;
    }
    std::vector<GifPixelType> row(size_t(gif->SWidth));
    const ColorMapObject* global = gif->SColorMap;
    uint32_t background = 0x00FFFFFF;
    if (global && global->Colors && gif->SBackGroundColor >= 0 &&
        gif->SBackGroundColor < global->ColorCount)
        background = mapColour(global, gif->SBackGroundColor, 0);
    out.fill(background);

    int transparent = -1;
    GifRecordType record;
    while (DGifGetRecordType(gif, &record) != GIF_ERROR) {
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return giflibFailure(gif->Error);
            if (code == kGraphicControl && block) {
                // block[0] is the length; then flags, delay (2 bytes), transparent index.
                transparent = (block[0] >= 4 && (block[1] & 1)) ? block[4] : -1;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return giflibFailure(gif->Error);
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            return readFrame(gif, out, transparent, row);
        } else if (record == TERMINATE_RECORD_TYPE) {
            return true;
        }
    }
    return giflibFailure(gif->Error);
}

}  // namespace

bool GifCodec::read(const std::string& path, Image& out)
{
    if (path.empty())
        return false;
    out.destroyPixels();
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return giflibFailure(error);
    bool ok = decode(gif, out);
    DGifCloseFile(gif, &error);
    if (!ok)
        out.destroyPixels();
    return ok;
}

}  // namespace tavelune
