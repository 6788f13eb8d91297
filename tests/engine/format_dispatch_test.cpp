// Format dispatch: the token table, path helpers, messages, and safe saves.
#include "engine/format_dispatch.h"
#include "engine/webp_codec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "codec_test_util.h"
#include "engine/engine_messages.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::MessageCollector;
using test::TempDir;

TEST(FormatDispatch, SplitPathAndFileName)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* file;
        const char* base;
        const char* ext;
    };
    const Case cases[] = {
        {"/home/me/photo.JpEg", "/home/me/", "photo.JpEg", "photo", "JpEg"},
        {"photo", "", "photo", "photo", ""},
        {"/a.b/photo", "/a.b/", "photo", "photo", ""},
        {"/x/archive.tar.gz", "/x/", "archive.tar.gz", "archive.tar", "gz"},
        {"/x/", "/x/", "", "", ""},
        {"name.", "", "name.", "name", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto parts = splitPath(c.path);
        EXPECT_EQ(parts.folder, c.folder);
        EXPECT_EQ(parts.fileName, c.file);
        auto name = splitFileName(c.path);
        EXPECT_EQ(name.baseName, c.base);
        EXPECT_EQ(name.extension, c.ext);
    }
}

std::unique_ptr<ImageCodec> codecFor(const char* token)
{
    const FormatRow* row = findFormat(token);
    return row ? createCodec(row->format) : nullptr;
}

bool isWritableFormat(const char* token)
{
    const FormatRow* row = findFormat(token);
    return row && row->writes;
}

TEST(FormatDispatch, TokensChooseTheirCodecs)
{
    const std::pair<const char*, const char*> cases[] = {
        {"bmp", "BMP"},   {"JPG", "JPEG"}, {"jpeg", "JPEG"}, {"Tif", "TIFF"},
        {"TIFF", "TIFF"}, {"gif", "GIF"},  {"PSD", "PSD"},   {"png", "PNG"},
        {"webp", "WEBP"}, {"HEIC", "HEIF"}, {"avif", "HEIF"}, {"nef", "RAW"}, {"Dng", "RAW"},
    };
    for (auto [token, name] : cases) {
        auto codec = codecFor(token);
        ASSERT_TRUE(codec) << token;
        EXPECT_STREQ(codec->formatName(), name);
    }
    for (const char* token : {"jpe", "", "tga", "JPG ", "raw"})
        EXPECT_FALSE(codecFor(token)) << token;
    for (const char* token : {"bmp", "jpg", "JPEG", "tif", "tiff", "png", "webp"})
        EXPECT_TRUE(isWritableFormat(token)) << token;
    for (const char* token : {"gif", "psd", "jpe", "heic", "avif", "cr2"})
        EXPECT_FALSE(isWritableFormat(token)) << token;
}

TEST(FormatDispatch, OpenRefusesUnknownExtensionsWithoutReadingTheFile)
{
    TempDir dir;
    Image picture = test::patternPicture(4, 3, false);
    ASSERT_TRUE(saveImage(dir.file("p.bmp"), picture));
    std::filesystem::copy_file(dir.file("p.bmp"), dir.file("p.jpe"));
    std::filesystem::create_directory(dir.file("a.bmp"));
    std::filesystem::copy_file(dir.file("p.bmp"), dir.file("a.bmp/photo"));

    MessageCollector messages;
    Image out = test::patternPicture(2, 2, true);
    const Image before = out;
    for (const char* name : {"p.jpe", "a.bmp/photo"}) {  // the second's dot is in the folder
        const ImageStatus opened = openImage(dir.file(name), out);
        EXPECT_FALSE(opened) << name;
        EXPECT_EQ(opened.code(), ImageError::UnsupportedFormat) << name;
    }
    EXPECT_TRUE(messages.texts().empty());  // the caller tells the user
    EXPECT_TRUE(test::samePixels(out, before));
    // An explicit format overrides the extension.
    EXPECT_TRUE(openImage(dir.file("p.jpe"), out, ImageFormat::Bmp));
    EXPECT_TRUE(test::samePixels(out, picture));
}

TEST(FormatDispatch, FailedReadGivesTheOpenErrorAndKeepsCallersPicture)
{
    TempDir dir;
    test::writeFileBytes(dir.file("fake.jpg"), test::readFileBytes(test::samplePath("coffee.png")));
    test::writeFileBytes(dir.file("empty.bmp"), {});
    std::filesystem::create_directory(dir.file("folder.bmp"));
    for (const char* name : {"fake.jpg", "empty.bmp", "folder.bmp", "missing.png"}) {
        SCOPED_TRACE(name);
        MessageCollector messages;
        Image out = test::patternPicture(3, 3, false);
        const Image before = out;
        const ImageStatus opened = openImage(dir.file(name), out);
        EXPECT_FALSE(opened);
        EXPECT_EQ(opened.code(), ImageError::ReadFailed);
        EXPECT_FALSE(opened.detail().empty());  // the codec's cause
        EXPECT_EQ(imageErrorText(opened.failure()), messages::kOpenImageError);
        EXPECT_TRUE(messages.texts().empty());
        EXPECT_TRUE(test::samePixels(out, before));
    }
}

TEST(FormatDispatch, HandleKeepsPreviousCodecOnFailure)
{
    TempDir dir;
    Image picture = test::patternPicture(5, 4, false);
    ASSERT_TRUE(saveImage(dir.file("a.bmp"), picture));
    MessageCollector messages;
    ImageHandle handle;
    EXPECT_EQ(handle.width(), 0);
    EXPECT_EQ(handle.image(), nullptr);
    ASSERT_TRUE(handle.open(dir.file("a.bmp")));
    EXPECT_STREQ(handle.codec()->formatName(), "BMP");
    EXPECT_EQ(handle.codec()->filePath(), dir.file("a.bmp"));
    EXPECT_EQ(handle.open(dir.file("missing.bmp")).code(), ImageError::ReadFailed);
    EXPECT_EQ(handle.open(dir.file("a.gif2")).code(), ImageError::UnsupportedFormat);
    EXPECT_TRUE(messages.texts().empty());
    ASSERT_NE(handle.image(), nullptr);
    EXPECT_TRUE(test::samePixels(*handle.image(), picture));
    handle.release();
    EXPECT_EQ(handle.image(), nullptr);
    EXPECT_EQ(handle.width(), 0);
}

TEST(FormatDispatch, SaveAcceptsOnlyWritableFormats)
{
    TempDir dir;
    Image picture = test::patternPicture(4, 4, false);
    MessageCollector messages;
    // PNG and WebP are written too now; the read-only kinds stay refused, raws among them.
    for (const char* name : {"a.gif", "a.psd", "noextension", "a.jpe", "a.nef", "a.heic"}) {
        const ImageStatus saved = saveImage(dir.file(name), picture);
        EXPECT_FALSE(saved) << name;
        EXPECT_EQ(saved.code(), ImageError::UnsupportedFormat) << name;
    }
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    // Case does not matter; the format argument wins over the extension.
    EXPECT_TRUE(saveImage(dir.file("b.BMP"), picture));
    EXPECT_TRUE(saveImage(dir.file("c.data"), picture, ImageFormat::Jpeg, 80));
    EXPECT_TRUE(saveImage(dir.file("d.TiF"), picture, {}, 5));
    EXPECT_TRUE(saveImage(dir.file("e.png"), picture));
    EXPECT_TRUE(saveImage(dir.file("f.webp"), picture, {}, kWebpLossless));
    Image back;
    EXPECT_TRUE(openImage(dir.file("c.data"), back, ImageFormat::Jpeg));
    EXPECT_TRUE(openImage(dir.file("d.TiF"), back));
    EXPECT_TRUE(test::samePixels(back, picture));
}

TEST(FormatDispatch, FailedSaveLeavesExistingFileAndNoLeftovers)
{
    TempDir dir;
    const std::string target = dir.file("keep.tif");
    test::writeFileBytes(target, {'o', 'l', 'd'});
    ::chmod(target.c_str(), 0640);
    Image picture = test::patternPicture(4, 4, false);
    MessageCollector messages;
    const ImageStatus saved = saveImage(target, picture, {}, 99);  // no such compression
    EXPECT_EQ(saved.code(), ImageError::WriteFailed);
    // The box says why, so a user can act on it.
    EXPECT_EQ(imageErrorText(saved.failure()),
              std::string(messages::kOpenImageError) + ": unsupported TIFF compression");
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(test::readFileBytes(target), (std::vector<unsigned char>{'o', 'l', 'd'}));
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
    // A successful save replaces the file and keeps its permissions.
    EXPECT_TRUE(saveImage(target, picture, {}, 1));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_FALSE(saveImage(dir.file("no/such/folder/x.bmp"), picture));
}

}  // namespace
}  // namespace tavelune
