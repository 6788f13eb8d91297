// The format table: every row reachable by each of its extensions, and coherent with its codec.
#include "engine/format_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "engine/result.h"

namespace tavelune {
namespace {

TEST(FormatTable, EveryExtensionFindsItsRowWhateverTheCase)
{
    std::set<std::string> seen;
    for (const FormatRow& row : formatTable()) {
        ASSERT_TRUE(row.extensions[0]) << row.mimeType;
        EXPECT_EQ(&formatRow(row.format), &row);
        for (const char* extension : row.extensions) {
            if (!extension)
                continue;
            EXPECT_TRUE(seen.insert(extension).second) << extension << " in two rows";
            std::string upper = extension;
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(findFormat(extension), &row) << extension;
            EXPECT_EQ(findFormat(upper), &row) << upper;
            EXPECT_EQ(formatOfPath("/some.dir/name." + upper), row.format) << upper;
        }
        EXPECT_TRUE(createCodec(row.format)) << row.extensions[0];
    }
    for (const char* unknown : {"", "jp", "jpgx", "tga", " jpg"})
        EXPECT_EQ(findFormat(unknown), nullptr) << unknown;
    EXPECT_FALSE(formatOfPath("/pictures.jpg/photo"));
}

TEST(FormatTable, WritersAndExifCarriersAreTheSavedKinds)
{
    struct Case {
        ImageFormat format;
        const char* written;
        bool writes;
        bool exif;
    };
    const Case cases[] = {
        {ImageFormat::Jpeg, "jpg", true, true}, {ImageFormat::Tiff, "tif", true, true},
        {ImageFormat::Bmp, "bmp", true, false}, {ImageFormat::Gif, "gif", false, false},
        {ImageFormat::Psd, "psd", false, false}, {ImageFormat::Png, "png", true, false},
        {ImageFormat::Webp, "webp", true, false}, {ImageFormat::Heif, "heic", false, false},
        {ImageFormat::Avif, "avif", false, false}, {ImageFormat::NikonNef, "nef", false, false},
        {ImageFormat::AdobeDng, "dng", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_STREQ(defaultExtension(c.format), c.written);
        EXPECT_EQ(formatRow(c.format).writes, c.writes);
        EXPECT_EQ(formatRow(c.format).exifInPlace, c.exif);
        EXPECT_TRUE(formatRow(c.format).reads);
    }
}

enum class TestCode { None, Missing, Broken };

Result<int, TestCode> parse(int input)
{
    if (input < 0)
        return failure(TestCode::Broken, "negative: " + std::to_string(input));
    return input * 2;
}

TEST(ResultType, CarriesTheValueOrTheCodeAndDetail)
{
    auto good = parse(21);
    ASSERT_TRUE(good);
    EXPECT_EQ(*good, 42);
    auto bad = parse(-3);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.code(), TestCode::Broken);
    EXPECT_EQ(bad.detail(), "negative: -3");

    Status<TestCode> done;
    EXPECT_TRUE(done);
    Status<TestCode> missing = failure(TestCode::Missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code(), TestCode::Missing);
    EXPECT_TRUE(missing.detail().empty());

    // Warnings ride along with a success as well as with a failure, in order.
    good.setWarnings({failure(TestCode::Missing, "first"), failure(TestCode::Broken, "second")});
    ASSERT_EQ(good.warnings().size(), 2u);
    EXPECT_EQ(good.warnings()[0].detail, "first");
    EXPECT_EQ(good.warnings()[1].code, TestCode::Broken);
    EXPECT_TRUE(bad.warnings().empty());
}

TEST(FormatTable, CameraRawsAreTheRowsDevelopedByTheRawCodec)
{
    int raws = 0;
    for (const FormatRow& row : formatTable()) {
        const bool raw = std::string_view(row.makeCodec()->formatName()) == "RAW";
        EXPECT_EQ(isCameraRaw(row.format), raw) << row.name;
        if (raw) {
            ++raws;
            EXPECT_FALSE(row.writes) << row.name;
            EXPECT_STREQ(row.filterName, "Camera Raw") << row.name;
            EXPECT_EQ(std::string_view(row.mimeType).substr(0, 8), "image/x-") << row.name;
        }
    }
    EXPECT_GE(raws, 9);  // CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, DNG at least
    for (const char* extension : {"cr2", "CR3", "nef", "arw", "raf", "orf", "rw2", "pef", "dng"})
        EXPECT_TRUE(findFormat(extension) && isCameraRaw(findFormat(extension)->format))
            << extension;
}

}  // namespace
}  // namespace tavelune

namespace tavelune {
namespace {

std::string sourceFile(const std::string& name)
{
    std::ifstream in(std::string(TAVELUNE_SOURCE_DIR) + "/" + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FormatTable, TheDesktopEntryAndMetainfoOfferEveryReadableKind)
{
    const std::string desktop = sourceFile("resources/tavelune.desktop");
    const std::string metainfo = sourceFile("resources/org.marrowick.Tavelune.metainfo.xml");
    const std::size_t line = desktop.find("\nMimeType=");
    ASSERT_NE(line, std::string::npos);
    const std::string types = desktop.substr(line + 1, desktop.find('\n', line + 1) - line - 1);
    std::set<std::string> wanted = {"image/heif"};  // .heif files share the HEIC row
    for (const FormatRow& row : formatTable())
        if (row.reads)
            wanted.insert(row.mimeType);
    for (const std::string& type : wanted) {
        const bool listed = types.find("=" + type + ";") != std::string::npos ||
                            types.find(";" + type + ";") != std::string::npos;
        EXPECT_TRUE(listed) << type;
        EXPECT_NE(metainfo.find("<mediatype>" + type + "</mediatype>"), std::string::npos) << type;
    }
}

}  // namespace
}  // namespace tavelune
