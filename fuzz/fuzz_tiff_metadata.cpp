// libFuzzer target: the TIFF metadata tags (34675, 700, 33723, 34377) on arbitrary bytes, and
// the Photoshop resources they hold parsed, written and parsed again to the same list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/photoshop_resources.h"
#include "engine/tiff_metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> input(data, data + size);
    std::FILE* stream = ::fmemopen(input.data(), input.size(), "rb");
    if (stream == nullptr)
        return 0;
    const tavelune::MetadataRead read = tavelune::readTiffMetadata(stream);
    std::fclose(stream);
    // Two tags may share their bytes; each alone comes from the file.
    if (read.metadata.icc.size() > size || read.metadata.xmp.size() > size)
        __builtin_trap();
    // The whole input as a resource block too: a parse must survive its own serialisation.
    const std::vector<std::uint8_t>* blocks[] = {&read.metadata.photoshop, &input};
    for (const std::vector<std::uint8_t>* block : blocks) {
        const auto list = tavelune::parsePhotoshopResources(*block);
        if (!list)
            continue;
        const auto again =
            tavelune::parsePhotoshopResources(tavelune::serialisePhotoshopResources(*list));
        if (!again || again->size() != list->size())
            __builtin_trap();
        for (std::size_t i = 0; i < list->size(); ++i)
            if ((*again)[i].id != (*list)[i].id || (*again)[i].data != (*list)[i].data ||
                (*again)[i].name != (*list)[i].name)
                __builtin_trap();
    }
    return 0;
}
