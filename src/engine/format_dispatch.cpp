// The open and save roads through the format table.
#include "engine/format_dispatch.h"

#include "engine/codec_support.h"
#include "engine/format_table.h"
#include "engine/safe_write.h"

namespace tavelune {
namespace {

std::unique_ptr<ImageCodec> codecForOpen(const std::string& path, std::optional<ImageFormat> format)
{
    if (!format)
        format = formatOfPath(path);
    if (!format || !formatRow(*format).reads)
        return nullptr;
    return createCodec(*format);
}

}  // namespace

PathParts splitPath(const std::string& path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

FileNameParts splitFileName(const std::string& path)
{
    std::string name = splitPath(path).fileName;
    auto dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {name, {}};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

ImageStatus imageFailure(ImageError code, std::string detail)
{
    ImageStatus failed(code, detail.empty() ? lastCodecFailure() : std::move(detail));
    failed.setWarnings(takeLibraryBoxes());
    return failed;
}

ImageStatus readFailure(const std::string& path)
{
    if (!lastFailureIsPixelLimit())
        return imageFailure(ImageError::ReadFailed);
    return imageFailure(ImageError::OverPixelLimit,
                        path.empty() ? lastCodecFailure() : path + " " + lastCodecFailure());
}

ImageStatus writeFailure(const std::string& writeError)
{
    // The temporary's own cause (no space, ...) beats the codec's; its generic "write failed"
    // does not.
    if (!writeError.empty() && (lastCodecFailure().empty() || writeError != kWriteFailed))
        noteCodecFailure(writeError);
    return imageFailure(ImageError::WriteFailed);
}

ImageStatus openImage(const std::string& path, Image& out, std::optional<ImageFormat> format)
{
    clearCodecFailure();
    auto codec = codecForOpen(path, format);
    if (!codec)
        return imageFailure(ImageError::UnsupportedFormat);
    // Decoding into a scratch picture keeps the caller's picture intact when the read fails.
    Image decoded;
    if (!codec->read(path, decoded))
        return readFailure(path);
    out = std::move(decoded);
    return {};
}

ImageStatus ImageHandle::open(const std::string& path, std::optional<ImageFormat> format)
{
    clearCodecFailure();
    auto codec = codecForOpen(path, format);
    if (!codec)
        return imageFailure(ImageError::UnsupportedFormat);
    if (!codec->load(path))
        return readFailure(path);
    m_codec = std::move(codec);
    return {};
}

ImageStatus saveImage(const std::string& path, const Image& image,
                      std::optional<ImageFormat> format, int options,
                      const PictureMetadata* metadata)
{
    clearCodecFailure();
    if (!format)
        format = formatOfPath(path);
    if (!format || !formatRow(*format).writes)
        return imageFailure(ImageError::UnsupportedFormat);
    auto codec = createCodec(*format);
    codec->setMetadata(metadata);
    std::string writeError;
    bool written = writeViaTemporary(
        path, [&](const std::string& temporary) { return codec->write(temporary, image, options); },
        &writeError);
    if (!written)
        return writeFailure(writeError);
    return {};
}

}  // namespace tavelune
