// Camera raw files: every road asks the raw developer process, which opens the file with
// the same parameters, so the reduced working copy and the full size agree in tone.
#include "engine/raw_codec.h"

#include "engine/codec_support.h"
#include "engine/exif_orientation.h"
#include "engine/jpeg_codec.h"
#include "engine/raw_developer.h"
#include "engine/raw_reply.h"
#include "engine/strip_source.h"

namespace tavelune {
namespace {

// The reply's own failure, noted as the reader in this process would have noted it.
bool succeeded(const RawReply& reply)
{
    switch (reply.failure) {
        case RawFailure::None:
            return true;
        case RawFailure::PixelLimit:
            // Noted and marked as any reader's refusal from the header.
            if (pictureSizeAllowed(reply.refusedWidth, reply.refusedHeight))
                noteCodecFailure(pixelLimitText(reply.refusedWidth, reply.refusedHeight));
            return false;
        case RawFailure::Shown:
            noteCodecFailure(reply.reason);
            noteRefusalBox(reply.reason);
            return false;
        case RawFailure::Reason:
            noteCodecFailure(reply.reason);
            return false;
    }
    return false;
}

bool developed(const RawReply& reply, Image& out)
{
    return succeeded(reply) && copyRawReplyPixels(reply, out);
}

// The reply's rows in order, converted a strip at a time.
class ReplyRows final : public StripSource {
public:
    explicit ReplyRows(const RawReply& reply) : m_reply(reply) {}
    int width() const override { return m_reply.width; }
    int height() const override { return m_reply.height; }
    bool readRows(std::uint32_t* first, std::size_t stride, int count) override
    {
        if (count < 0 || count > m_reply.height - m_next)
            return false;
        readRawReplyRows(m_reply, m_next, count, first, stride);
        m_next += count;
        return true;
    }
    bool finish() override { return m_next == m_reply.height; }

private:
    const RawReply& m_reply;
    int m_next = 0;
};

}  // namespace

bool RawCodec::read(const std::string& path, Image& out)
{
    if (path.empty())
        return false;
    return developRaw(path, out, false);
}

bool RawCodec::write(const std::string&, const Image&, int)
{
    noteCodecFailure("raw files are never written");
    return false;
}

bool developRaw(const std::string& path, Image& out, bool halfSize)
{
    out.destroyPixels();
    return runRawDeveloper(halfSize ? "half" : "develop", path, -1, -1,
                           [&](const RawReply& reply) { return developed(reply, out); });
}

bool developRawRows(const std::string& path, const std::function<bool(StripSource&)>& use)
{
    if (path.empty())
        return false;
    return runRawDeveloper("develop", path, -1, -1, [&](const RawReply& reply) {
        if (!succeeded(reply))
            return false;
        if (reply.pixels == nullptr) {
            noteCodecFailure("unexpected developed picture");
            return false;
        }
        ReplyRows rows(reply);
        return use(rows);
    });
}

bool developRawWorkingCopy(const std::string& path, int maxSide, Image& out, int& fullWidth,
                           int& fullHeight)
{
    out.destroyPixels();
    fullWidth = fullHeight = 0;
    if (path.empty())
        return false;
    return runRawDeveloper("working", path, maxSide, 0, [&](const RawReply& reply) {
        if (!developed(reply, out))
            return false;
        fullWidth = reply.fullWidth;
        fullHeight = reply.fullHeight;
        return true;
    });
}

bool readRawShotInfo(const std::string& path, RawShotInfo& info)
{
    info = RawShotInfo{};
    return !path.empty() && runRawDeveloper("shot", path, -1, -1, [&](const RawReply& reply) {
        if (!succeeded(reply))
            return false;
        info = reply.shot;
        return true;
    });
}

bool readRawPreview(const std::string& path, int minWidth, int minHeight, Image& out)
{
    out.destroyPixels();
    std::vector<std::uint8_t> jpeg;
    int orientation = 1;
    {
        // No preview, or none large enough, is not a failure: the caller develops instead.
        const bool answered =
            runRawDeveloper("preview", path, minWidth, minHeight, [&](const RawReply& reply) {
                if (reply.failure != RawFailure::None)
                    return false;
                jpeg = reply.preview;
                orientation = reply.shot.orientation;
                return true;
            });
        if (!answered || jpeg.empty()) {
            clearCodecFailure();
            return false;
        }
        // A broken preview falls back to development: its decoding errors are not the user's.
        if (!decodeJpegBytes(jpeg.data(), jpeg.size(), out, [](int, int) { return 1; })) {
            clearCodecFailure();
            return false;
        }
    }
    if (!applyExifOrientation(out, orientation)) {
        out.destroyPixels();
        return false;
    }
    if (out.width() < minWidth || out.height() < minHeight) {
        out.destroyPixels();
        return false;
    }
    return true;
}

}  // namespace tavelune
