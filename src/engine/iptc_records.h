// IPTC-NAA records (the IIM datasets inside Photoshop resource 1028), named for listing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavelune {

struct IptcRecord {
    int record = 0;   // 1 envelope, 2 application
    int dataset = 0;
    std::string name;  // "Caption-Abstract", or "2:123" for one without a name here
    std::string value; // text as stored; numbers of binary datasets in decimal
};

/// The records of an IPTC block in order; parsing stops at the first one that does not fit.
std::vector<IptcRecord> parseIptcRecords(std::span<const std::uint8_t> block);

}  // namespace tavelune
