// Temporary-and-rename writes: the original kept on failure, nothing left behind, links followed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <fstream>

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

// Runs body in a child process; the child's exit status or its signal.
struct ChildEnd {
    int exitStatus = -1;
    int signal = 0;
};
template <typename Body>
ChildEnd inChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    ChildEnd end;
    if (WIFEXITED(status))
        end.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

class SafeWriteModes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { useNamedTemporariesOnly(GetParam()); }
    void TearDown() override { useNamedTemporariesOnly(false); }
};

TEST_P(SafeWriteModes, OnlyANamedTemporaryIsEverVisibleAndNothingStays)
{
    test::TempDir dir;
    const std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(writeText(path, "old"));
    size_t seen = 0;
    ASSERT_TRUE(writeViaTemporary(path, [&](const std::string& temp) {
        seen = entries(dir.path());
        return writeText(temp, "new");
    }));
    EXPECT_EQ(seen, GetParam() ? 2u : 1u) << "an unnamed temporary has no name in the folder";
    EXPECT_EQ(readText(path), "new");
    EXPECT_EQ(entries(dir.path()), 1u);

    ASSERT_TRUE(writeViaTemporary(dir.file("fresh.jpg"),
                                  [](const std::string& temp) { return writeText(temp, "x"); }));
    EXPECT_EQ(readText(dir.file("fresh.jpg")), "x");
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST_P(SafeWriteModes, SymbolicLinksAreFollowedAndStay)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string target = dir.file("real/photo.jpg");
    ASSERT_TRUE(writeText(target, "old"));
    std::filesystem::create_symlink("real/photo.jpg", dir.path() / "link.jpg");
    std::filesystem::create_symlink(dir.path() / "link.jpg", dir.path() / "chain.jpg");
    std::filesystem::create_symlink("real/new.jpg", dir.path() / "dangling.jpg");
    for (const char* name : {"link.jpg", "chain.jpg"}) {
        ASSERT_TRUE(writeViaTemporary(dir.file(name), [&](const std::string& temp) {
            return writeText(temp, name);
        }));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / name)) << name;
        EXPECT_EQ(readText(target), name);
    }
    ASSERT_TRUE(writeViaTemporary(dir.file("dangling.jpg"),
                                  [](const std::string& temp) { return writeText(temp, "made"); }));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "dangling.jpg"));
    EXPECT_EQ(readText(dir.file("real/new.jpg")), "made");
    EXPECT_EQ(entries(dir.path() / "real"), 2u);
}

TEST_P(SafeWriteModes, AWriteInsideAnotherWritesItsTemporary)
{
    test::TempDir dir;
    const std::string path = dir.file("sheet.tif");
    ASSERT_TRUE(writeViaTemporary(path, [](const std::string& outer) {
        return writeViaTemporary(outer, [](const std::string& inner) {
                   return writeText(inner, "inner");
               }) &&
               readText(outer) == "inner";
    }));
    EXPECT_EQ(readText(path), "inner");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_P(SafeWriteModes, AFileSizeLimitIsAReportedWriteErrorThatLeavesNothing)
{
    test::TempDir dir;
    const std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(writeText(path, "old"));
    const bool named = GetParam();
    const ChildEnd end = inChild([&] {
        useNamedTemporariesOnly(named);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool written = writeViaTemporary(
            path, [](const std::string& temp) { return writeText(temp, std::string(20000, 'b')); },
            &error);
        return !written && error == std::strerror(EFBIG) ? 0 : 1;
    });
    EXPECT_EQ(end.signal, 0) << "SIGXFSZ must not end the program";
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_EQ(readText(path), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, SafeWriteModes, ::testing::Bool());

TEST(SafeWrite, EndingSignalsRemoveTheNamedTemporary)
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        test::TempDir dir;
        const std::string path = dir.file("photo.jpg");
        ASSERT_TRUE(writeText(path, "old"));
        const ChildEnd end = inChild([&] {
            useNamedTemporariesOnly(true);
            writeViaTemporary(path, [&](const std::string& temp) {
                writeText(temp, "half");
                ::raise(signal);
                return true;
            });
            return 0;
        });
        EXPECT_EQ(end.signal, signal);
        EXPECT_EQ(readText(path), "old") << signal;
        EXPECT_EQ(entries(dir.path()), 1u) << signal;
    }
}

TEST(SafeWrite, StaleTemporariesBesideAnOutputGoButALiveWritersStays)
{
    test::TempDir dir;
    const std::string output = dir.file("out.jpg");
    const char* names[] = {".out.jpg.tmp-Ab12Cd", ".out.jpg.tmp-live01", ".out.jpg.tmp-toolong",
                           ".other.jpg.tmp-Ab12Cd", "out.jpg.tmp-Ab12Cd"};
    for (const char* name : names) ASSERT_TRUE(writeText(dir.file(name), "x"));
    ASSERT_TRUE(writeText(dir.file(".tmp-Ab12Cd"), "x"));
    EXPECT_EQ(namesWithTemporaries(dir.path().string()),
              (std::set<std::string>{"out.jpg", "other.jpg"}));
    std::filesystem::remove(dir.file(".tmp-Ab12Cd"));
    const int live = ::open(dir.file(".out.jpg.tmp-live01").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    EXPECT_EQ(removeStaleTemporaries(output), 1);
    ::close(live);
    EXPECT_FALSE(std::filesystem::exists(dir.file(".out.jpg.tmp-Ab12Cd")));
    EXPECT_EQ(entries(dir.path()), 4u);
    EXPECT_EQ(removeStaleTemporaries(output), 1) << "the writer is gone now";
}

TEST(SafeWrite, FailuresToStartNameTheirCause)
{
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writeViaTemporary(dir.file("no/such/photo.jpg"),
                                   [](const std::string&) { return true; }, &error));
    EXPECT_NE(error.find("no such folder"), std::string::npos) << error;
    if (::geteuid() != 0) {
        std::filesystem::create_directory(dir.path() / "locked");
        ::chmod(dir.file("locked").c_str(), 0555);
        EXPECT_FALSE(writeViaTemporary(dir.file("locked/photo.jpg"),
                                       [](const std::string&) { return true; }, &error));
        ::chmod(dir.file("locked").c_str(), 0755);
        EXPECT_NE(error.find("permission denied"), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace tavelune
