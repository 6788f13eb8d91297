// Parsing and writing Photoshop image resource blocks, every size checked before use.
#include "engine/photoshop_resources.h"

namespace tavelune {
namespace {

constexpr std::uint32_t fourCc(const char (&text)[5])
{
    return std::uint32_t(std::uint8_t(text[0])) << 24 | std::uint32_t(std::uint8_t(text[1])) << 16 |
           std::uint32_t(std::uint8_t(text[2])) << 8 | std::uint32_t(std::uint8_t(text[3]));
}

bool knownSignature(std::uint32_t signature)
{
    for (std::uint32_t known : {fourCc("8BIM"), fourCc("MeSa"), fourCc("PHUT"), fourCc("AgHg"),
                                fourCc("DCSR")})
        if (signature == known)
            return true;
    return false;
}

std::uint32_t bigEndian(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

void append(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

std::optional<std::vector<PhotoshopResource>> parsePhotoshopResources(
    std::span<const std::uint8_t> block)
{
    std::vector<PhotoshopResource> list;
    std::size_t at = 0;
    while (at < block.size()) {
        const std::size_t left = block.size() - at;
        if (left < 4 || bigEndian(block.data() + at, 4) == 0) {
            // Zero padding after the last resource ends the block.
            for (std::size_t i = at; i < block.size(); ++i)
                if (block[i] != 0)
                    return std::nullopt;
            break;
        }
        if (left < 7)
            return std::nullopt;
        PhotoshopResource resource;
        resource.signature = bigEndian(block.data() + at, 4);
        if (!knownSignature(resource.signature))
            return std::nullopt;
        resource.id = std::uint16_t(bigEndian(block.data() + at + 4, 2));
        const std::size_t nameLength = block[at + 6];
        const std::size_t nameField = (nameLength + 2) & ~std::size_t(1);  // length byte, even
        if (left < 6 + nameField + 4)
            return std::nullopt;
        resource.name.assign(block.begin() + std::ptrdiff_t(at + 6),
                             block.begin() + std::ptrdiff_t(at + 7 + nameLength));
        const std::size_t sizeAt = at + 6 + nameField;
        const std::uint64_t size = bigEndian(block.data() + sizeAt, 4);
        const std::size_t dataAt = sizeAt + 4;
        if (size > block.size() - dataAt)
            return std::nullopt;
        resource.data.assign(block.begin() + std::ptrdiff_t(dataAt),
                             block.begin() + std::ptrdiff_t(dataAt + size));
        list.push_back(std::move(resource));
        // The data is padded to an even size; a last resource may omit the pad byte.
        at = dataAt + std::size_t(size) + (size & 1);
    }
    return list;
}

std::vector<std::uint8_t> serialisePhotoshopResources(const std::vector<PhotoshopResource>& list)
{
    std::vector<std::uint8_t> out;
    for (const PhotoshopResource& resource : list) {
        append(out, resource.signature, 4);
        append(out, resource.id, 2);
        if (resource.name.empty()) {
            out.push_back(0);
            out.push_back(0);
        } else {
            out.insert(out.end(), resource.name.begin(), resource.name.end());
            if (resource.name.size() % 2 != 0)
                out.push_back(0);
        }
        append(out, std::uint32_t(resource.data.size()), 4);
        out.insert(out.end(), resource.data.begin(), resource.data.end());
        if (resource.data.size() % 2 != 0)
            out.push_back(0);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> photoshopResource(std::span<const std::uint8_t> block,
                                                           std::uint16_t id)
{
    const auto list = parsePhotoshopResources(block);
    if (!list)
        return std::nullopt;
    for (const PhotoshopResource& resource : *list)
        if (resource.id == id && resource.signature == fourCc("8BIM"))
            return resource.data;
    return std::nullopt;
}

bool setPhotoshopResource(std::vector<std::uint8_t>& block, std::uint16_t id,
                          std::span<const std::uint8_t> data)
{
    auto list = parsePhotoshopResources(block);
    if (!list)
        return false;
    bool replaced = false;
    for (PhotoshopResource& resource : *list)
        if (!replaced && resource.id == id && resource.signature == fourCc("8BIM")) {
            resource.data.assign(data.begin(), data.end());
            replaced = true;
        }
    if (!replaced) {
        PhotoshopResource added;
        added.signature = fourCc("8BIM");
        added.id = id;
        added.data.assign(data.begin(), data.end());
        list->push_back(std::move(added));
    }
    block = serialisePhotoshopResources(*list);
    return true;
}

}  // namespace tavelune
