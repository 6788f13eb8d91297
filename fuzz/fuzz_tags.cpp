// libFuzzer target: the information-tag expander, with the text, the user name and the EXIF
// values all from the fuzzer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "overlay/info_tags.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    if (size < 3)
        return 0;
    // Byte 0 picks the language; bytes 1-2 the length of the text, "text\0user name"; the
    // rest is a TIFF-ordered EXIF block.
    static const char* const kLanguages[] = {"zh_CN", "zh_TW", "en_US"};
    const size_t length = std::min(size - 3, size_t(data[1] | (data[2] << 8)));
    const std::string_view both(reinterpret_cast<const char*>(data + 3), length);
    const size_t split = both.find('\0');
    const std::string_view text = both.substr(0, split);
    tavelune::TagContext context;
    context.language = kLanguages[data[0] % 3];
    context.now = 1700000000;
    if (split != std::string_view::npos)
        context.userName = std::string(both.substr(split + 1));
    tavelune::ExifData exif;
    const uint8_t* block = data + 3 + length;
    const bool loaded =
        exif.LoadExifFromBytes(block, size - 3 - length, tavelune::ImageFormat::Tiff);
    tavelune::Image picture;
    picture.create(3, 2, 300.0f);

    bool cut = false;
    const std::string expanded =
        tavelune::expandTags(text, &picture, loaded ? &exif : nullptr, context, &cut);
    if (expanded.size() > tavelune::kMaxExpandedTagText)
        __builtin_trap();
    // A text without a tag stands as it is, cut only when it is too long itself.
    if (text.find('<') == std::string_view::npos &&
        (cut != (text.size() > tavelune::kMaxExpandedTagText) || (!cut && expanded != text)))
        __builtin_trap();
    return 0;
}
