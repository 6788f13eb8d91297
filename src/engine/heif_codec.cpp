// HEIF decoding. libheif owns its objects through C handles; each one here has an owner that
// frees it on every road out.
#include "engine/heif_codec.h"

#include <libheif/heif.h>

#include <memory>
#include <mutex>
#include <vector>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

struct HeifFree {
    void operator()(heif_context* p) const { heif_context_free(p); }
    void operator()(heif_image_handle* p) const { heif_image_handle_release(p); }
    void operator()(heif_image* p) const { heif_image_release(p); }
    void operator()(heif_decoding_options* p) const { heif_decoding_options_free(p); }
};
template <class T>
using HeifPointer = std::unique_ptr<T, HeifFree>;

bool noteHeifError(const heif_error& error)
{
    if (error.code == heif_error_Ok)
        return true;
    noteCodecFailure(error.message && *error.message ? error.message : "HEIF error");
    return false;
}

struct Primary {
    HeifPointer<heif_context> context;
    HeifPointer<heif_image_handle> handle;
};

// The bytes must outlive the result: libheif reads them without a copy.
bool openPrimary(const std::uint8_t* data, std::size_t size, Primary& primary)
{
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    if (data == nullptr || size < 12) {
        noteCodecFailure("not a HEIF file");
        return false;
    }
    primary.context.reset(heif_context_alloc());
    if (!primary.context) {
        noteCodecFailure("out of memory");
        return false;
    }
    if (!noteHeifError(heif_context_read_from_memory_without_copy(primary.context.get(), data,
                                                                  size, nullptr)))
        return false;
    heif_image_handle* handle = nullptr;
    if (!noteHeifError(heif_context_get_primary_image_handle(primary.context.get(), &handle)))
        return false;
    primary.handle.reset(handle);
    return true;
}

std::uint32_t level8(std::uint32_t value, std::uint32_t maximum)
{
    return (value * 510 + maximum) / (2 * maximum);
}

bool copyPixels(const heif_image* image, bool alpha, int bits, Image& out)
{
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved,
                                                              &stride);
    const int channels = alpha ? 4 : 3;
    const int sampleBytes = bits > 8 ? 2 : 1;
    if (plane == nullptr || width <= 0 || height <= 0 ||
        stride < width * channels * sampleBytes) {
        noteCodecFailure("unexpected decoded picture");
        return false;
    }
    if (!pictureSizeAllowed(unsigned(width), unsigned(height)))
        return false;
    if (!out.allocate(width, height, 72.0f)) {
        noteCodecFailure("out of memory");
        return false;
    }
    const std::uint32_t maximum = (1u << bits) - 1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + std::size_t(y) * std::size_t(stride);
        std::uint32_t* row = out.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t c[4] = {0, 0, 0, 255};
            for (int k = 0; k < channels; ++k, in += sampleBytes)
                c[k] = sampleBytes == 1 ? in[0] : level8(std::uint32_t(in[0] | (in[1] << 8)) & maximum, maximum);
            row[x] = (c[3] << 24) | (c[0] << 16) | (c[1] << 8) | c[2];
        }
    }
    return true;
}

bool decodePrimary(const Primary& primary, Image& out)
{
    const heif_image_handle* handle = primary.handle.get();
    // The stored size, before any turn, bounds what decoding will allocate.
    if (!pictureSizeAllowed(unsigned(heif_image_handle_get_ispe_width(handle)),
                            unsigned(heif_image_handle_get_ispe_height(handle))) ||
        !pictureSizeAllowed(unsigned(heif_image_handle_get_width(handle)),
                            unsigned(heif_image_handle_get_height(handle))))
        return false;
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    int bits = heif_image_handle_get_luma_bits_per_pixel(handle);
    if (bits < 8 || bits > 16)
        bits = 8;
    // Above 8 bits the samples come unreduced and are rounded here: libheif's own reduction
    // drops the low bits.
    const heif_chroma chroma =
        bits > 8 ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                 : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    HeifPointer<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options) {
        noteCodecFailure("out of memory");
        return false;
    }
    options->ignore_transformations = 0;
    heif_image* decoded = nullptr;
    if (!noteHeifError(heif_decode_image(handle, &decoded, heif_colorspace_RGB, chroma,
                                         options.get())))
        return false;
    HeifPointer<heif_image> image(decoded);
    if (bits > 8) {
        const int stored = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved);
        if (stored > 8 && stored <= 16)
            bits = stored;
    }
    return copyPixels(image.get(), alpha, bits, out);
}

bool metadataOf(const Primary& primary, EmbeddedMetadata& metadata)
{
    const heif_image_handle* handle = primary.handle.get();
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, "Exif");
    if (count > 0) {
        std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
        heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", ids.data(), count);
        const std::size_t size = heif_image_handle_get_metadata_size(handle, ids[0]);
        // The block starts with the big-endian offset of its TIFF header past these 4 bytes.
        if (size > 4 && size <= (std::size_t(1) << 26)) {
            std::vector<std::uint8_t> block(size);
            if (heif_image_handle_get_metadata(handle, ids[0], block.data()).code == heif_error_Ok) {
                const std::uint32_t offset = (std::uint32_t(block[0]) << 24) |
                                             (std::uint32_t(block[1]) << 16) |
                                             (std::uint32_t(block[2]) << 8) | block[3];
                if (offset <= size - 4)
                    metadata.exif = exifFromTiffHeader(block.data() + 4 + offset, size - 4 - offset);
            }
        }
    }
    const std::size_t profileSize = heif_image_handle_get_raw_color_profile_size(handle);
    if (profileSize > 0 && profileSize <= (std::size_t(1) << 26)) {
        metadata.icc.resize(profileSize);
        if (heif_image_handle_get_raw_color_profile(handle, metadata.icc.data()).code != heif_error_Ok)
            metadata.icc.clear();
    }
    return true;
}

}  // namespace

bool decodeHeifBytes(const std::uint8_t* data, std::size_t size, Image& out)
{
    out.destroyPixels();
    Primary primary;
    if (!openPrimary(data, size, primary) || !decodePrimary(primary, out)) {
        out.destroyPixels();
        return false;
    }
    return true;
}

bool HeifCodec::read(const std::string& path, Image& out)
{
    return decodeWholeFile(path, out, decodeHeifBytes);
}

bool readHeifMetadataFromBytes(const std::uint8_t* data, std::size_t size,
                               EmbeddedMetadata& metadata)
{
    metadata = EmbeddedMetadata{};
    Primary primary;
    return openPrimary(data, size, primary) && metadataOf(primary, metadata);
}

bool readHeifMetadata(const std::string& path, EmbeddedMetadata& metadata)
{
    metadata = EmbeddedMetadata{};
    std::vector<std::uint8_t> bytes;
    return !path.empty() && readWholeFile(path, bytes) &&
           readHeifMetadataFromBytes(bytes.data(), bytes.size(), metadata);
}

}  // namespace tavelune
