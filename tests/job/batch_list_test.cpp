// The batch list's rules: which paths become rows, how they read, what a folder adds.
#include "job/batch_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(BatchList, FileListsSplitIntoPathsWithEveryByteKept)
{
    using namespace std::string_literals;
    struct Case {
        std::string text;
        char separator;
        std::vector<std::string> paths;
        size_t lineWithNul;
    };
    const Case cases[] = {
        {"a.jpg\nb c.jpg\n", '\n', {"a.jpg", "b c.jpg"}, 0},
        {"a.jpg\n\n\nlast.jpg", '\n', {"a.jpg", "last.jpg"}, 0},
        {" lead\r\n", '\n', {" lead\r"}, 0},
        {"a.jpg\ncut\0.jpg\n"s, '\n', {}, 2},
        {"new\nline.jpg\0\0b.jpg\0"s, '\0', {"new\nline.jpg", "b.jpg"}, 0},
        {"\xff\xfe.jpg"s, '\0', {"\xff\xfe.jpg"}, 0},
        {"", '\n', {}, 0},
    };
    for (const Case& c : cases) {
        FileListReading reading = splitFileList(c.text, c.separator);
        EXPECT_EQ(reading.paths, c.paths) << c.text;
        EXPECT_EQ(reading.lineWithNul, c.lineWithNul) << c.text;
    }
}

TEST(BatchList, PathsBecomeRowsOrAreLeftOut)
{
    struct Case {
        const char* path;
        BatchListCheck check;
        const char* name;
        const char* folder;
        const char* type;
        int icon;
    };
    const Case cases[] = {
        {"/p/a.jpg", BatchListCheck::Listed, "a.jpg", "/p/", "JPG", 0},
        {"/p/b.TIFF", BatchListCheck::Listed, "b.TIFF", "/p/", "TIFF", 1},
        {"/p/q/c.Jpeg", BatchListCheck::Listed, "c.Jpeg", "/p/q/", "JPEG", 0},
        {"/d.tif", BatchListCheck::Listed, "d.tif", "/", "TIF", 1},
        {"/p/e.psd", BatchListCheck::Listed, "e.psd", "/p/", "PSD", 2},
        {"/p/f.gif", BatchListCheck::Listed, "f.gif", "/p/", "GIF", 3},
        {"/p/g.bmp", BatchListCheck::Listed, "g.bmp", "/p/", "BMP", 4},
        {"/p/h.png", BatchListCheck::Listed, "h.png", "/p/", "PNG", 5},
        {"/p/two.dots.png", BatchListCheck::Listed, "two.dots.png", "/p/", "PNG", 5},
        {"/p/c.txt", BatchListCheck::Unsupported, "", "", "", -1},
        {"/p/raw.", BatchListCheck::Unsupported, "", "", "", -1},
        {"/p/README", BatchListCheck::Ignored, "", "", "", -1},
        {"/p.jpg/README", BatchListCheck::Ignored, "", "", "", -1},
        {"nofolder.jpg", BatchListCheck::Ignored, "", "", "", -1},
        {"", BatchListCheck::Ignored, "", "", "", -1},
    };
    for (const Case& c : cases) {
        BatchListEntry entry;
        EXPECT_EQ(makeBatchListEntry(c.path, entry), c.check) << c.path;
        EXPECT_EQ(entry.name, c.name) << c.path;
        EXPECT_EQ(entry.folder, c.folder) << c.path;
        EXPECT_EQ(entry.type, c.type) << c.path;
        EXPECT_EQ(entry.icon, c.icon) << c.path;
        if (c.check == BatchListCheck::Listed) {
            EXPECT_EQ(entry.path(), c.path);
        }
    }
}

TEST(BatchList, AFolderAddsItsPicturesSortedWithoutSubfoldersOrHiddenFiles)
{
    test::TempDir dir;
    for (const char* name : {"b.JPG", "a.png", "notes.txt", ".hidden.jpg", "c.tiff", "README"})
        test::writeFileBytes(dir.file(name), {1});
    std::filesystem::create_directory(dir.file("sub.jpg"));
    test::writeFileBytes(dir.file("sub.jpg") + "/inner.jpg", {1});
    const std::vector<std::string> expected = {dir.file("a.png"), dir.file("b.JPG"),
                                               dir.file("c.tiff")};
    EXPECT_EQ(picturesInFolder(dir.path().string()), expected);
    EXPECT_TRUE(picturesInFolder(dir.file("missing")).empty());
    EXPECT_TRUE(picturesInFolder(dir.file("a.png")).empty());
}

}  // namespace
}  // namespace tavelune
