// The codec interface every file format implements, and the handle that owns one codec.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/image.h"
#include "engine/image_error.h"
#include "engine/image_format.h"

namespace tavelune {

struct PictureMetadata;

/// One file format. A codec holds the picture it last loaded (or created) and its path.
/// An empty path counts as no path and fails.
class ImageCodec {
public:
    ImageCodec() = default;
    ImageCodec(const ImageCodec&) = delete;
    ImageCodec& operator=(const ImageCodec&) = delete;
    virtual ~ImageCodec() = default;

    /// Makes the held picture a blank picture (fill colour) of that size.
    virtual bool create(int width, int height, float dpi);
    /// Releases, then decodes the file into the held picture and keeps the path.
    virtual bool load(const std::string& path);
    /// Writes the held picture; fails when nothing is held.
    virtual bool save(const std::string& path, int options);
    /// The format reader: decodes into out (reset first). True on success.
    virtual bool read(const std::string& path, Image& out) = 0;
    /// The format writer; read-only formats return false.
    virtual bool write(const std::string& path, const Image& image, int options) = 0;

    bool isEmpty() const { return m_empty != 0; }
    /// The path last loaded, or null when empty.
    const char* filePath() const { return isEmpty() ? nullptr : m_path.c_str(); }
    float dpi() const { return isEmpty() ? 0.0f : m_image.dpi(); }
    int width() const { return isEmpty() ? 0 : m_image.width(); }
    int height() const { return isEmpty() ? 0 : m_image.height(); }
    Image* image() { return isEmpty() ? nullptr : &m_image; }
    const Image* image() const { return isEmpty() ? nullptr : &m_image; }
    /// Back to the placeholder picture; the codec is empty again.
    void release();
    virtual const char* formatName() const = 0;
    /// What the next writes put into the file beside the pixels, where the format holds it
    /// (JPEG, TIFF); null for nothing. The caller keeps it alive while writing.
    void setMetadata(const PictureMetadata* metadata) { m_metadata = metadata; }

protected:
    /// create() for the formats that release the held picture first (PSD, BMP, PNG).
    bool createAfterRelease(int width, int height, float dpi);

    int m_empty = 1;
    const PictureMetadata* m_metadata = nullptr;
    Image m_image;
    std::string m_path;
};

/// Owns at most one codec; the open dispatch fills it.
class ImageHandle {
public:
    ImageHandle() = default;
    ImageHandle(ImageHandle&&) noexcept = default;
    ImageHandle& operator=(ImageHandle&&) noexcept = default;

    /// Opens path with the codec chosen from format (or the path's extension when empty).
    /// A failure keeps the previous codec.
    ImageStatus open(const std::string& path, std::optional<ImageFormat> format = {});

    int width() const { return m_codec ? m_codec->width() : 0; }
    int height() const { return m_codec ? m_codec->height() : 0; }
    float dpi() const { return m_codec ? m_codec->dpi() : 0.0f; }
    Image* image() { return m_codec ? m_codec->image() : nullptr; }
    void release()
    {
        if (m_codec)
            m_codec->release();
    }
    ImageCodec* codec() { return m_codec.get(); }
    void reset(std::unique_ptr<ImageCodec> codec) { m_codec = std::move(codec); }

private:
    std::unique_ptr<ImageCodec> m_codec;
};

}  // namespace tavelune
