// JPEG metadata segments: every length checked before use, chunks joined only when they fit.
#include "engine/jpeg_metadata.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string_view>

namespace tavelune {
namespace {

constexpr int kApp1 = 0xE1;
constexpr int kApp2 = 0xE2;
constexpr int kApp13 = 0xED;
constexpr std::string_view kIccSignature{"ICC_PROFILE\0", 12};
constexpr std::string_view kXmpSignature{"http://ns.adobe.com/xap/1.0/\0", 29};
constexpr std::string_view kExtendedSignature{"http://ns.adobe.com/xmp/extension/\0", 35};
constexpr std::string_view kPhotoshopSignature{"Photoshop 3.0\0", 14};
constexpr std::size_t kGuidLength = 32;
constexpr std::size_t kMaxPayload = 65533;  // the length field counts itself
constexpr std::size_t kIccChunk = kMaxPayload - kIccSignature.size() - 2;  // 65519
constexpr std::size_t kExtendedChunk = kMaxPayload - kExtendedSignature.size() - kGuidLength - 8;
constexpr std::size_t kPhotoshopChunk = kMaxPayload - kPhotoshopSignature.size();

bool startsWith(const std::vector<std::uint8_t>& payload, std::string_view signature)
{
    return payload.size() >= signature.size() &&
           std::memcmp(payload.data(), signature.data(), signature.size()) == 0;
}

std::uint32_t bigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void appendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift : {24, 16, 8, 0}) out.push_back(std::uint8_t(value >> shift));
}

struct IccChunk {
    int sequence;
    int count;
    std::vector<std::uint8_t> data;
};

struct ExtendedChunk {
    std::uint32_t fullLength;
    std::uint32_t offset;
    std::vector<std::uint8_t> data;
};

// What the scan collects before the parts are joined.
struct Collected {
    std::vector<IccChunk> icc;
    std::string xmp;
    std::map<std::string, std::vector<ExtendedChunk>> extended;  // by GUID, in file order
    std::vector<std::uint8_t> photoshop;
    std::size_t kept = 0;
    bool tooLarge = false;
};

void collect(Collected& found, int marker, std::vector<std::uint8_t>& payload)
{
    if (found.kept + payload.size() > kMaxMetadataBytes) {
        found.tooLarge = true;
        return;
    }
    if (marker == kApp2 && startsWith(payload, kIccSignature) &&
        payload.size() >= kIccSignature.size() + 2) {
        const std::size_t at = kIccSignature.size();
        found.icc.push_back({payload[at], payload[at + 1],
                             {payload.begin() + std::ptrdiff_t(at + 2), payload.end()}});
    } else if (marker == kApp1 && startsWith(payload, kXmpSignature)) {
        if (!found.xmp.empty())
            return;  // readers take the first packet
        found.xmp.assign(payload.begin() + std::ptrdiff_t(kXmpSignature.size()), payload.end());
    } else if (marker == kApp1 && startsWith(payload, kExtendedSignature) &&
               payload.size() >= kExtendedSignature.size() + kGuidLength + 8) {
        const std::uint8_t* head = payload.data() + kExtendedSignature.size();
        std::string guid(reinterpret_cast<const char*>(head), kGuidLength);
        found.extended[guid].push_back(
            {bigEndian32(head + kGuidLength), bigEndian32(head + kGuidLength + 4),
             {payload.begin() + std::ptrdiff_t(kExtendedSignature.size() + kGuidLength + 8),
              payload.end()}});
    } else if (marker == kApp13 && startsWith(payload, kPhotoshopSignature)) {
        found.photoshop.insert(found.photoshop.end(),
                               payload.begin() + std::ptrdiff_t(kPhotoshopSignature.size()),
                               payload.end());
    } else {
        return;
    }
    found.kept += payload.size();
}

// Chunks numbered 1..N, each once, all saying N; anything else is not guessed at.
bool joinIcc(std::vector<IccChunk>& chunks, std::vector<std::uint8_t>& out)
{
    const int count = chunks.front().count;
    if (count < 1 || std::size_t(count) != chunks.size())
        return false;
    std::sort(chunks.begin(), chunks.end(),
              [](const IccChunk& a, const IccChunk& b) { return a.sequence < b.sequence; });
    for (int i = 0; i < count; ++i)
        if (chunks[std::size_t(i)].sequence != i + 1 || chunks[std::size_t(i)].count != count)
            return false;
    for (const IccChunk& chunk : chunks) out.insert(out.end(), chunk.data.begin(), chunk.data.end());
    return true;
}

// The chunks cover 0..fullLength exactly once, whatever order they came in.
bool joinExtended(std::vector<ExtendedChunk>& chunks, std::string& out)
{
    const std::uint32_t fullLength = chunks.front().fullLength;
    std::stable_sort(chunks.begin(), chunks.end(),
                     [](const ExtendedChunk& a, const ExtendedChunk& b) { return a.offset < b.offset; });
    std::uint64_t next = 0;
    for (const ExtendedChunk& chunk : chunks) {
        if (chunk.fullLength != fullLength || chunk.offset != next)
            return false;
        next += chunk.data.size();
    }
    if (next != fullLength)
        return false;
    out.reserve(fullLength);
    for (const ExtendedChunk& chunk : chunks) out.append(chunk.data.begin(), chunk.data.end());
    return true;
}

// The GUID the main packet names; a lone group is taken when the packet names none of them.
const std::string* extendedGuid(const Collected& found)
{
    for (const auto& [guid, chunks] : found.extended)
        if (found.xmp.find(guid) != std::string::npos)
            return &guid;
    return found.extended.size() == 1 ? &found.extended.begin()->first : nullptr;
}

MetadataRead join(Collected& found)
{
    MetadataRead read;
    PictureMetadata& metadata = read.metadata;
    if (!found.icc.empty() && !joinIcc(found.icc, metadata.icc)) {
        metadata.icc.clear();
        read.problems.push_back(MetadataProblem::IccSequence);
    }
    const std::string* guid = extendedGuid(found);  // looks into the main packet
    metadata.xmp = std::move(found.xmp);
    if (guid) {
        if (joinExtended(found.extended[*guid], metadata.extendedXmp)) {
            metadata.extendedGuid = *guid;
        } else {
            metadata.extendedXmp.clear();
            read.problems.push_back(MetadataProblem::ExtendedXmpBroken);
        }
    } else if (!found.extended.empty()) {
        read.problems.push_back(MetadataProblem::ExtendedXmpBroken);
    }
    metadata.photoshop = std::move(found.photoshop);
    if (found.tooLarge)
        read.problems.push_back(MetadataProblem::TooLarge);
    return read;
}

JpegMarkerSegment segment(int marker, std::string_view signature, std::size_t reserve)
{
    JpegMarkerSegment out{marker, {}};
    out.payload.reserve(signature.size() + reserve);
    out.payload.insert(out.payload.end(), signature.begin(), signature.end());
    return out;
}

}  // namespace

MetadataRead readJpegMetadata(std::FILE* file)
{
    Collected found;
    if (file == nullptr || std::fgetc(file) != 0xFF || std::fgetc(file) != 0xD8)
        return {};
    for (;;) {
        const int prefix = std::fgetc(file);
        if (prefix == EOF)
            break;
        if (prefix != 0xFF)
            continue;  // a stray byte between segments
        int marker = std::fgetc(file);
        while (marker == 0xFF) marker = std::fgetc(file);  // fill bytes
        if (marker == EOF || marker == 0xDA || marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;  // markers without a length
        const int high = std::fgetc(file);
        const int low = std::fgetc(file);
        if (high == EOF || low == EOF)
            break;
        const int length = (high << 8) | low;
        if (length < 2)
            break;
        const std::size_t payloadSize = std::size_t(length) - 2;
        if (marker != kApp1 && marker != kApp2 && marker != kApp13) {
            if (std::fseek(file, long(payloadSize), SEEK_CUR) != 0)
                break;
            continue;
        }
        std::vector<std::uint8_t> payload(payloadSize);
        if (std::fread(payload.data(), 1, payloadSize, file) != payloadSize)
            break;  // a truncated segment is not kept
        collect(found, marker, payload);
    }
    return join(found);
}

std::vector<JpegMarkerSegment> jpegMetadataSegments(const PictureMetadata& metadata,
                                                    std::vector<MetadataProblem>* problems)
{
    auto problem = [problems](MetadataProblem code) {
        if (problems)
            problems->push_back(code);
    };
    std::vector<JpegMarkerSegment> segments;
    if (!metadata.xmp.empty()) {
        if (metadata.xmp.size() > kMaxPayload - kXmpSignature.size()) {
            problem(MetadataProblem::TooLarge);
        } else {
            JpegMarkerSegment xmp = segment(kApp1, kXmpSignature, metadata.xmp.size());
            xmp.payload.insert(xmp.payload.end(), metadata.xmp.begin(), metadata.xmp.end());
            segments.push_back(std::move(xmp));
        }
    }
    if (!metadata.extendedXmp.empty() && metadata.extendedGuid.size() == kGuidLength &&
        metadata.extendedXmp.size() <= UINT32_MAX) {
        const std::size_t total = metadata.extendedXmp.size();
        for (std::size_t offset = 0; offset < total; offset += kExtendedChunk) {
            const std::size_t size = std::min(kExtendedChunk, total - offset);
            JpegMarkerSegment chunk = segment(kApp1, kExtendedSignature, kGuidLength + 8 + size);
            chunk.payload.insert(chunk.payload.end(), metadata.extendedGuid.begin(),
                                 metadata.extendedGuid.end());
            appendBigEndian32(chunk.payload, std::uint32_t(total));
            appendBigEndian32(chunk.payload, std::uint32_t(offset));
            chunk.payload.insert(chunk.payload.end(),
                                 metadata.extendedXmp.begin() + std::ptrdiff_t(offset),
                                 metadata.extendedXmp.begin() + std::ptrdiff_t(offset + size));
            segments.push_back(std::move(chunk));
        }
    }
    if (!metadata.icc.empty()) {
        const std::size_t count = (metadata.icc.size() + kIccChunk - 1) / kIccChunk;
        if (count > 255) {
            problem(MetadataProblem::TooLarge);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t offset = i * kIccChunk;
                const std::size_t size = std::min(kIccChunk, metadata.icc.size() - offset);
                JpegMarkerSegment chunk = segment(kApp2, kIccSignature, 2 + size);
                chunk.payload.push_back(std::uint8_t(i + 1));
                chunk.payload.push_back(std::uint8_t(count));
                chunk.payload.insert(chunk.payload.end(),
                                     metadata.icc.begin() + std::ptrdiff_t(offset),
                                     metadata.icc.begin() + std::ptrdiff_t(offset + size));
                segments.push_back(std::move(chunk));
            }
        }
    }
    for (std::size_t offset = 0; offset < metadata.photoshop.size(); offset += kPhotoshopChunk) {
        const std::size_t size = std::min(kPhotoshopChunk, metadata.photoshop.size() - offset);
        JpegMarkerSegment chunk = segment(kApp13, kPhotoshopSignature, size);
        chunk.payload.insert(chunk.payload.end(),
                             metadata.photoshop.begin() + std::ptrdiff_t(offset),
                             metadata.photoshop.begin() + std::ptrdiff_t(offset + size));
        segments.push_back(std::move(chunk));
    }
    return segments;
}

}  // namespace tavelune
