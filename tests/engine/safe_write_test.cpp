// Temporary-and-rename writes keep the original on failure and keep its permissions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "engine/safe_write.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

bool writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out);
}

std::string readText(const std::string& path)
{
    auto bytes = test::readFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

size_t entries(const std::filesystem::path& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()));
}

TEST(SafeWrite, ReplacesAndKeepsPermissions)
{
    test::TempDir dir;
    std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(writeText(path, "old"));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeViaTemporary(path, [](const std::string& temp) { return writeText(temp, "new"); }));
    EXPECT_EQ(readText(path), "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(SafeWrite, FailedWriteLeavesOriginalAndNoTemporary)
{
    test::TempDir dir;
    std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(writeText(path, "old"));
    std::string error;
    EXPECT_FALSE(writeViaTemporary(
        path, [](const std::string& temp) { return writeText(temp, "half") && false; }, &error));
    EXPECT_EQ(readText(path), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
    EXPECT_FALSE(error.empty());
}

TEST(SafeWrite, MissingFolderFails)
{
    test::TempDir dir;
    bool called = false;
    EXPECT_FALSE(writeViaTemporary(dir.file("no/such/photo.jpg"), [&](const std::string&) {
        called = true;
        return true;
    }));
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace tavelune
