// IIM parsing: tag marker, record, dataset, length (extended lengths up to four bytes).
#include "engine/iptc_records.h"

#include <array>

namespace tavelune {
namespace {

struct Name {
    int record;
    int dataset;
    const char* name;
};

constexpr std::array kNames{
    Name{1, 0, "EnvelopeRecordVersion"}, Name{1, 90, "CodedCharacterSet"},
    Name{2, 0, "ApplicationRecordVersion"}, Name{2, 5, "ObjectName"},
    Name{2, 15, "Category"}, Name{2, 20, "SupplementalCategories"}, Name{2, 25, "Keywords"},
    Name{2, 40, "SpecialInstructions"}, Name{2, 55, "DateCreated"}, Name{2, 60, "TimeCreated"},
    Name{2, 80, "By-line"}, Name{2, 85, "By-lineTitle"}, Name{2, 90, "City"},
    Name{2, 92, "Sub-location"}, Name{2, 95, "Province-State"},
    Name{2, 100, "Country-PrimaryLocationCode"}, Name{2, 101, "Country-PrimaryLocationName"},
    Name{2, 103, "OriginalTransmissionReference"}, Name{2, 105, "Headline"},
    Name{2, 110, "Credit"}, Name{2, 115, "Source"}, Name{2, 116, "CopyrightNotice"},
    Name{2, 120, "Caption-Abstract"}, Name{2, 122, "Writer-Editor"},
};

std::string nameOf(int record, int dataset)
{
    for (const Name& name : kNames)
        if (name.record == record && name.dataset == dataset)
            return name.name;
    return std::to_string(record) + ":" + std::to_string(dataset);
}

// The version datasets hold a binary number; everything else here is text.
bool isBinary(int record, int dataset)
{
    return dataset == 0 && (record == 1 || record == 2);
}

}  // namespace

std::vector<IptcRecord> parseIptcRecords(std::span<const std::uint8_t> block)
{
    std::vector<IptcRecord> records;
    std::size_t at = 0;
    while (block.size() - at >= 5 && block[at] == 0x1C) {
        IptcRecord record;
        record.record = block[at + 1];
        record.dataset = block[at + 2];
        std::uint64_t size = std::uint64_t(block[at + 3]) << 8 | block[at + 4];
        at += 5;
        if (size & 0x8000) {
            const std::size_t lengthBytes = std::size_t(size & 0x7FFF);
            if (lengthBytes == 0 || lengthBytes > 4 || block.size() - at < lengthBytes)
                break;
            size = 0;
            for (std::size_t i = 0; i < lengthBytes; ++i) size = size << 8 | block[at + i];
            at += lengthBytes;
        }
        if (size > block.size() - at)
            break;
        const auto data = block.subspan(at, std::size_t(size));
        at += std::size_t(size);
        record.name = nameOf(record.record, record.dataset);
        if (isBinary(record.record, record.dataset)) {
            std::uint64_t number = 0;
            for (std::size_t i = 0; i < data.size() && i < 8; ++i) number = number << 8 | data[i];
            record.value = std::to_string(number);
        } else {
            record.value.assign(data.begin(), data.end());
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace tavelune
