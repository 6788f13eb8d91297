// What the raw developer process hands back: one block, written by it, read here with bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/raw_codec.h"

namespace tavelune {

class Image;

/// How a request failed, so that the parent notes the failure as the reader in process would.
enum class RawFailure : std::uint8_t {
    None = 0,
    Reason = 1,       // noted only
    Shown = 2,        // noted and shown: one the user can act on (a camera LibRaw does not know)
    PixelLimit = 3,   // the declared size refusedWidth x refusedHeight is over the limit
};

/// The reply. pixels, when not null, points into the block it was read from: width x height
/// red, green, blue bytes, top row first (as LibRaw lays out a developed picture, so that it
/// writes straight into the block).
struct RawReply {
    RawFailure failure = RawFailure::None;
    std::string reason;
    std::uint64_t refusedWidth = 0;
    std::uint64_t refusedHeight = 0;
    RawShotInfo shot;
    int fullWidth = 0;  // the full development's size, upright
    int fullHeight = 0;
    int width = 0;      // the developed picture's size (0 when none was asked for)
    int height = 0;
    const std::uint8_t* pixels = nullptr;
    std::vector<std::uint8_t> preview;  // the embedded JPEG preview, when asked for and there
};

/// The reply's head: everything but the pixels, which follow it directly.
std::vector<std::uint8_t> encodeRawReplyHead(const RawReply& reply);
/// The bytes the pixels of a width x height picture take after the head.
std::size_t rawReplyPixelBytes(int width, int height);
/// Stores one pixel into the block, as decodeRawReply's reader expects it.
inline void storeRawReplyPixel(std::uint8_t* at, std::uint32_t rgb)
{
    at[0] = std::uint8_t(rgb >> 16);
    at[1] = std::uint8_t(rgb >> 8);
    at[2] = std::uint8_t(rgb);
}

/// Reads a reply; false for any block that is not one whole reply (short, long, a size over
/// the pixel limit, pixels or texts past its end).
bool decodeRawReply(const std::uint8_t* data, std::size_t size, RawReply& reply);
/// Rows first .. first + count - 1 of a reply with pixels as 0xFFRRGGBB into out, out + stride,
/// ... (stride in pixels); the rows must lie in the picture.
void readRawReplyRows(const RawReply& reply, int first, int count, std::uint32_t* out,
                      std::size_t stride);
/// The reply's pixels into out (sized to them). False, with the reason noted, when out cannot
/// be made.
bool copyRawReplyPixels(const RawReply& reply, Image& out);

}  // namespace tavelune
