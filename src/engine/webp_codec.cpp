// WebP decoding and encoding. The picture's 0xAARRGGBB words are libwebp's BGRA bytes and its
// ARGB encoder input alike, so rows are copied or decoded in place.
#include "engine/webp_codec.h"

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

struct DemuxFree {
    void operator()(WebPDemuxer* p) const { WebPDemuxDelete(p); }
    void operator()(WebPAnimDecoder* p) const { WebPAnimDecoderDelete(p); }
    void operator()(WebPMux* p) const { WebPMuxDelete(p); }
};

std::unique_ptr<WebPDemuxer, DemuxFree> demux(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return nullptr;
    const WebPData webp{data, size};
    return std::unique_ptr<WebPDemuxer, DemuxFree>(WebPDemux(&webp));
}

bool decodeStill(const std::uint8_t* data, std::size_t size, int width, int height, Image& out)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        noteCodecFailure("libwebp version mismatch");
        return false;
    }
    if (WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK ||
        config.input.width != width || config.input.height != height) {
        noteCodecFailure("damaged WebP file");
        return false;
    }
    if (!out.allocate(width, height, 72.0f)) {
        noteCodecFailure("out of memory");
        return false;
    }
    // Decoded straight into the picture, flipped into its bottom-up rows.
    config.options.flip = 1;
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<std::uint8_t*>(out.pixels());
    config.output.u.RGBA.stride = width * 4;
    config.output.u.RGBA.size = out.byteSize();
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        noteCodecFailure(status == VP8_STATUS_NOT_ENOUGH_DATA ? "truncated WebP file"
                                                              : "damaged WebP file");
        return false;
    }
    return true;
}

bool decodeFirstFrame(const std::uint8_t* data, std::size_t size, int width, int height,
                      Image& out)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) {
        noteCodecFailure("libwebp version mismatch");
        return false;
    }
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const WebPData webp{data, size};
    std::unique_ptr<WebPAnimDecoder, DemuxFree> decoder(WebPAnimDecoderNew(&webp, &options));
    WebPAnimInfo info;
    std::uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info) ||
        int(info.canvas_width) != width || int(info.canvas_height) != height ||
        !WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp) || frame == nullptr) {
        noteCodecFailure("damaged WebP animation");
        return false;
    }
    if (!out.allocate(width, height, 72.0f)) {
        noteCodecFailure("out of memory");
        return false;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(out.rowFromTop(y), frame + std::size_t(y) * std::size_t(width) * 4,
                    std::size_t(width) * 4);
    return true;
}

std::vector<std::uint8_t> chunk(WebPDemuxer* demuxer, const char* fourcc)
{
    WebPChunkIterator iterator;
    std::vector<std::uint8_t> bytes;
    if (WebPDemuxGetChunk(demuxer, fourcc, 1, &iterator)) {
        bytes.assign(iterator.chunk.bytes, iterator.chunk.bytes + iterator.chunk.size);
        WebPDemuxReleaseChunkIterator(&iterator);
    }
    return bytes;
}

bool hasTransparency(const Image& image)
{
    const std::uint32_t* pixel = image.pixels();
    for (std::size_t i = 0, n = image.pixelCount(); i < n; ++i)
        if ((pixel[i] >> 24) != 0xFF)
            return true;
    return false;
}

}  // namespace

bool decodeWebpBytes(const std::uint8_t* data, std::size_t size, Image& out)
{
    out.destroyPixels();
    auto demuxer = demux(data, size);
    if (!demuxer) {
        noteCodecFailure("not a WebP file or truncated");
        return false;
    }
    const std::uint32_t width = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH);
    const std::uint32_t height = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT);
    const std::uint32_t flags = WebPDemuxGetI(demuxer.get(), WEBP_FF_FORMAT_FLAGS);
    if (!pictureSizeAllowed(width, height))
        return false;
    const bool ok = (flags & ANIMATION_FLAG)
                        ? decodeFirstFrame(data, size, int(width), int(height), out)
                        : decodeStill(data, size, int(width), int(height), out);
    if (!ok)
        out.destroyPixels();
    return ok;
}

bool WebpCodec::read(const std::string& path, Image& out)
{
    return decodeWholeFile(path, out, decodeWebpBytes);
}

bool encodeWebp(const Image& image, int options, std::string& bytes)
{
    bytes.clear();
    const int width = image.width();
    const int height = image.height();
    if (width > kWebpMaxSide || height > kWebpMaxSide) {
        noteCodecFailure("picture too large for WebP (16383 pixels a side at most)");
        return false;
    }
    const bool lossless = (options & kWebpLossless) != 0;
    const int quality = (options & 0xFF) == 0 ? kWebpDefaultQuality : options & 0xFF;
    if (!lossless && (options < 0 || quality > 100)) {
        noteCodecFailure("WebP quality out of range");
        return false;
    }
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) {
        noteCodecFailure("libwebp version mismatch");
        return false;
    }
    config.lossless = lossless ? 1 : 0;
    config.exact = lossless ? 1 : 0;  // keep the colour under transparent pixels
    config.quality = lossless ? 75.0f : float(quality);
    config.method = 4;
    picture.use_argb = 1;
    picture.width = width;
    picture.height = height;
    if (!WebPPictureAlloc(&picture)) {
        noteCodecFailure("out of memory");
        return false;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.argb + std::size_t(y) * std::size_t(picture.argb_stride),
                    image.rowFromTop(y), std::size_t(width) * 4);
    if (!hasTransparency(image)) {
        // Opaque pictures carry no alpha plane.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.argb[std::size_t(y) * std::size_t(picture.argb_stride) + std::size_t(x)] |=
                    0xFF000000u;
    }
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const bool ok = WebPEncode(&config, &picture) != 0;
    if (ok)
        bytes.assign(reinterpret_cast<const char*>(writer.mem), writer.size);
    else
        noteCodecFailure("WebP encoding failed");
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    return ok;
}

bool WebpCodec::write(const std::string& path, const Image& image, int options)
{
    if (path.empty())
        return false;
    std::string bytes;
    if (!encodeWebp(image, options, bytes))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0)
        ok = false;
    if (!ok)
        noteCodecFailure("write error");
    return ok;
}

bool setWebpExifChunk(std::string& webp, const std::vector<std::uint8_t>& tiff)
{
    if (webp.empty() || tiff.empty())
        return false;
    const WebPData input{reinterpret_cast<const std::uint8_t*>(webp.data()), webp.size()};
    std::unique_ptr<WebPMux, DemuxFree> mux(WebPMuxCreate(&input, 0));
    const WebPData chunk{tiff.data(), tiff.size()};
    WebPData assembled;
    WebPDataInit(&assembled);
    // The mux writes the VP8X header that announces the chunk.
    if (!mux || WebPMuxSetChunk(mux.get(), "EXIF", &chunk, 0) != WEBP_MUX_OK ||
        WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) {
        WebPDataClear(&assembled);
        noteCodecFailure("cannot add the EXIF chunk to the WebP file");
        return false;
    }
    webp.assign(reinterpret_cast<const char*>(assembled.bytes), assembled.size);
    WebPDataClear(&assembled);
    return true;
}

bool readWebpMetadataFromBytes(const std::uint8_t* data, std::size_t size,
                               EmbeddedMetadata& metadata)
{
    metadata = EmbeddedMetadata{};
    auto demuxer = demux(data, size);
    if (!demuxer)
        return false;
    const std::vector<std::uint8_t> exif = chunk(demuxer.get(), "EXIF");
    metadata.exif = exifFromTiffHeader(exif.data(), exif.size());
    metadata.icc = chunk(demuxer.get(), "ICCP");
    metadata.xmp = chunk(demuxer.get(), "XMP ");
    return true;
}

bool readWebpMetadata(const std::string& path, EmbeddedMetadata& metadata)
{
    metadata = EmbeddedMetadata{};
    std::vector<std::uint8_t> bytes;
    return !path.empty() && readWholeFile(path, bytes) &&
           readWebpMetadataFromBytes(bytes.data(), bytes.size(), metadata);
}

}  // namespace tavelune
