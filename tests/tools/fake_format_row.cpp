// A made-up format row for the test builds that check one row reaches every list: files
// ending in .fake, read and written by the BMP codec.
#include <memory>

#include "engine/bmp_codec.h"
#include "engine/format_table.h"

namespace tavelune {
namespace {

std::unique_ptr<ImageCodec> makeFakeCodec()
{
    return std::make_unique<BmpCodec>();
}

const FormatRow kFakeRows[] = {
    {ImageFormat(100), "FAKE", {"fake", "fk"}, makeFakeCodec, true, true, false, "image/x-fake",
     "Fake", 61199, -1, 66099},
};

}  // namespace

std::span<const FormatRow> extraFormatRows()
{
    return kFakeRows;
}

}  // namespace tavelune
