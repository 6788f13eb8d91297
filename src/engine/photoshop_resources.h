// Photoshop image resource blocks: the container of IPTC in JPEG APP13, TIFF 34377 and PSD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavelune {

inline constexpr std::uint16_t kResourceIcc = 1039;
inline constexpr std::uint16_t kResourceXmp = 1060;
inline constexpr std::uint16_t kResourceIptc = 1028;
inline constexpr std::uint16_t kResourceIptcDigest = 1061;

struct PhotoshopResource {
    std::uint32_t signature = 0;  // "8BIM" and the few others writers use, as read
    std::uint16_t id = 0;
    std::vector<std::uint8_t> name;  // the Pascal string with its length byte, unpadded
    std::vector<std::uint8_t> data;
};

/// The resources of a block, in order; nullopt when a size runs past the end or a signature
/// is unknown. Trailing zero padding is accepted.
std::optional<std::vector<PhotoshopResource>> parsePhotoshopResources(
    std::span<const std::uint8_t> block);

/// The block for resources, each padded to even sizes as readers expect.
std::vector<std::uint8_t> serialisePhotoshopResources(const std::vector<PhotoshopResource>& list);

/// The data of the first resource id in block, if the block parses and holds one.
std::optional<std::vector<std::uint8_t>> photoshopResource(std::span<const std::uint8_t> block,
                                                           std::uint16_t id);

/// block with resource id's data replaced (or appended with an empty name); block unchanged
/// when it does not parse.
bool setPhotoshopResource(std::vector<std::uint8_t>& block, std::uint16_t id,
                          std::span<const std::uint8_t> data);

}  // namespace tavelune
