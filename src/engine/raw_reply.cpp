// The raw developer's reply block. The parent trusts none of it: a helper that went wrong
// half-way may leave anything in the block.
#include "engine/raw_reply.h"

#include <algorithm>
#include <cstring>

#include "engine/codec_support.h"
#include "engine/image.h"

namespace tavelune {
namespace {

constexpr std::uint32_t kMagic = 0x57525654;  // "TVRW"
// Texts LibRaw reports are short; anything longer is not a reply.
constexpr std::uint32_t kMaxText = 4096;

class Writer {
public:
    template <class T>
    void put(T value)
    {
        std::uint8_t bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        m_out.insert(m_out.end(), bytes, bytes + sizeof value);
    }
    void putText(const std::string& text)
    {
        const std::size_t length = std::min<std::size_t>(text.size(), kMaxText);
        put(std::uint32_t(length));
        m_out.insert(m_out.end(), text.begin(), text.begin() + std::ptrdiff_t(length));
    }
    void putBytes(const std::vector<std::uint8_t>& bytes)
    {
        put(std::uint64_t(bytes.size()));
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> take() { return std::move(m_out); }

private:
    std::vector<std::uint8_t> m_out;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <class T>
    bool get(T& value)
    {
        if (m_size - m_at < sizeof value)
            return false;
        std::memcpy(&value, m_data + m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    bool getInt(int& value, int lowest)
    {
        std::int32_t v = 0;
        if (!get(v) || v < lowest)
            return false;
        value = v;
        return true;
    }
    bool getText(std::string& text)
    {
        std::uint32_t length = 0;
        if (!get(length) || length > kMaxText || m_size - m_at < length)
            return false;
        text.assign(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return true;
    }
    bool getBytes(std::vector<std::uint8_t>& bytes)
    {
        std::uint64_t length = 0;
        if (!get(length) || m_size - m_at < length)
            return false;
        bytes.assign(m_data + m_at, m_data + m_at + length);
        m_at += std::size_t(length);
        return true;
    }
    const std::uint8_t* here() const { return m_data + m_at; }
    std::size_t left() const { return m_size - m_at; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

}  // namespace

std::vector<std::uint8_t> encodeRawReplyHead(const RawReply& reply)
{
    Writer w;
    w.put(kMagic);
    w.put(std::uint8_t(reply.failure));
    w.putText(reply.reason);
    w.put(reply.refusedWidth);
    w.put(reply.refusedHeight);
    const RawShotInfo& s = reply.shot;
    for (const std::string* text : {&s.make, &s.model, &s.lens, &s.artist})
        w.putText(*text);
    for (double value : {s.isoSpeed, s.exposureTime, s.aperture, s.focalLength})
        w.put(value);
    w.put(std::int64_t(s.timestamp));
    for (int value : {s.orientation, s.width, s.height, reply.fullWidth, reply.fullHeight,
                      reply.width, reply.height})
        w.put(std::int32_t(value));
    w.putBytes(reply.preview);
    return w.take();
}

std::size_t rawReplyPixelBytes(int width, int height)
{
    return width > 0 && height > 0 ? std::size_t(width) * std::size_t(height) * 3 : 0;
}

bool decodeRawReply(const std::uint8_t* data, std::size_t size, RawReply& reply)
{
    reply = RawReply{};
    if (data == nullptr)
        return false;
    Reader r(data, size);
    std::uint32_t magic = 0;
    std::uint8_t failure = 0;
    if (!r.get(magic) || magic != kMagic || !r.get(failure) ||
        failure > std::uint8_t(RawFailure::PixelLimit))
        return false;
    reply.failure = RawFailure(failure);
    RawShotInfo& s = reply.shot;
    std::int64_t timestamp = 0;
    if (!r.getText(reply.reason) || !r.get(reply.refusedWidth) || !r.get(reply.refusedHeight) ||
        !r.getText(s.make) || !r.getText(s.model) || !r.getText(s.lens) ||
        !r.getText(s.artist) || !r.get(s.isoSpeed) || !r.get(s.exposureTime) ||
        !r.get(s.aperture) || !r.get(s.focalLength) || !r.get(timestamp) ||
        !r.getInt(s.orientation, 0) || !r.getInt(s.width, 0) || !r.getInt(s.height, 0) ||
        !r.getInt(reply.fullWidth, 0) || !r.getInt(reply.fullHeight, 0) ||
        !r.getInt(reply.width, 0) || !r.getInt(reply.height, 0) || !r.getBytes(reply.preview))
        return false;
    s.timestamp = std::time_t(timestamp);
    if ((reply.width == 0) != (reply.height == 0))
        return false;
    if (reply.width != 0 && !withinPixelLimit(std::uint64_t(reply.width), std::uint64_t(reply.height)))
        return false;
    if (r.left() != rawReplyPixelBytes(reply.width, reply.height))
        return false;
    if (reply.width != 0)
        reply.pixels = r.here();
    return true;
}

void readRawReplyRows(const RawReply& reply, int first, int count, std::uint32_t* out,
                      std::size_t stride)
{
    const std::size_t rowBytes = rawReplyPixelBytes(reply.width, 1);
    for (int r = 0; r < count; ++r, out += stride) {
        const std::uint8_t* in = reply.pixels + rowBytes * std::size_t(first + r);
        for (int x = 0; x < reply.width; ++x, in += 3)
            out[x] = 0xFF000000u | std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 8 | in[2];
    }
}

bool copyRawReplyPixels(const RawReply& reply, Image& out)
{
    out.destroyPixels();
    if (reply.pixels == nullptr || !out.allocate(reply.width, reply.height, 72.0f)) {
        noteCodecFailure(reply.pixels == nullptr ? "unexpected developed picture" : "out of memory");
        return false;
    }
    for (int y = 0; y < reply.height; ++y)
        readRawReplyRows(reply, y, 1, out.rowFromTop(y), 0);
    return true;
}

}  // namespace tavelune
