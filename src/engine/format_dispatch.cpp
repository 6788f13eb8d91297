// The open and save roads through the format table.
#include "engine/format_dispatch.h"

#include "engine/codec_support.h"
#include "engine/engine_messages.h"
#include "engine/format_table.h"
#include "engine/message_sink.h"
#include "engine/safe_write.h"

namespace tavelune {
namespace {

thread_local std::string t_lastError;

bool fail(const char* message, const std::string& path = {})
{
    const bool overLimit = lastFailureIsPixelLimit();
    t_lastError = message;
    if (!lastCodecFailure().empty())
        t_lastError += ": " + (overLimit && !path.empty() ? path + " " : "") + lastCodecFailure();
    // The limit is the user's to raise, so its refusal says what was asked and what is allowed.
    showMessage(overLimit ? t_lastError : message);
    return false;
}

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

const std::string& lastImageError()
{
    return t_lastError;
}

void clearImageError()
{
    t_lastError.clear();
    clearCodecFailure();
}

bool reportImageError(const char* message, const std::string& path)
{
    return fail(message, path);
}

bool reportFailure(const std::string& text)
{
    clearCodecFailure();
    t_lastError = text;
    showMessage(text);
    return false;
}

bool reportWriteFailure(const std::string& writeError)
{
    if (!writeError.empty() && (lastCodecFailure().empty() || writeError != kWriteFailed))
        noteCodecFailure(writeError);
    t_lastError = messages::kOpenImageError;
    if (!lastCodecFailure().empty())
        t_lastError += ": " + lastCodecFailure();
    showMessage(t_lastError);
    return false;
}

bool openImage(const std::string& path, Image& out, std::optional<ImageFormat> format)
{
    t_lastError.clear();
    clearCodecFailure();
    auto codec = codecForOpen(path, format);
    if (!codec)
        return fail(messages::kUnsupportedFormat);
    // Decoding into a scratch picture keeps the caller's picture intact when the read fails.
    Image decoded;
    if (!codec->read(path, decoded))
        return fail(messages::kOpenImageError, path);
    out = std::move(decoded);
    return true;
}

bool ImageHandle::open(const std::string& path, std::optional<ImageFormat> format)
{
    t_lastError.clear();
    clearCodecFailure();
    auto codec = codecForOpen(path, format);
    if (!codec)
        return fail(messages::kUnsupportedFormat);
    if (!codec->load(path))
        return fail(messages::kOpenImageError, path);
    m_codec = std::move(codec);
    return true;
}

bool saveImage(const std::string& path, const Image& image, std::optional<ImageFormat> format,
               int options, const PictureMetadata* metadata)
{
    t_lastError.clear();
    clearCodecFailure();
    if (!format)
        format = formatOfPath(path);
    if (!format || !formatRow(*format).writes)
        return fail(messages::kUnsupportedFormat);
    auto codec = createCodec(*format);
    codec->setMetadata(metadata);
    std::string writeError;
    bool written = writeViaTemporary(
        path, [&](const std::string& temporary) { return codec->write(temporary, image, options); },
        &writeError);
    if (!written)
        return reportWriteFailure(writeError);
    return true;
}

}  // namespace tavelune
