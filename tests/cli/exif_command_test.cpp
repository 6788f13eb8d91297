// tavelune-cli exif, run as a program: rows, languages, JSON and exit codes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tavelune {
namespace {

struct CliRun {
    std::string out;
    int status;
};

CliRun runCli(const std::string& arguments, const std::string& environment = "LANG=C")
{
    const std::string command =
        environment + " " + TAVELUNE_CLI_PATH + " exif " + arguments + " 2>/dev/null";
    CliRun run{{}, -1};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(ExifCommand, ListsGroupsInTheChosenLanguage)
{
    const std::string fixture = test::fixturePath("exif/canon_intel.jpg");
    const CliRun english = runCli(fixture);
    ASSERT_EQ(english.status, 0);
    EXPECT_TRUE(has(english.out, "File name: canon_intel.jpg\n"));
    EXPECT_TRUE(has(english.out, "File size: 1.9 KB\n"));
    EXPECT_TRUE(has(english.out, "\nImage information\nMake: Canon\n"));
    EXPECT_TRUE(has(english.out, "ExposureTime: 1/250\"\n"));
    EXPECT_TRUE(has(english.out, "Flash: Flash fired, auto mode\n"));
    EXPECT_TRUE(has(english.out, "Interoperability information\nInteroperabilityIndex: R98\n"));

    const CliRun chinese = runCli("--lang zh_CN " + fixture);
    EXPECT_TRUE(has(chinese.out, "文件名: canon_intel.jpg\n"));
    EXPECT_TRUE(has(chinese.out, "图像信息\n制造商: Canon\n"));
    EXPECT_TRUE(has(chinese.out, "闪光: 打开(自动)\n"));
    EXPECT_TRUE(has(chinese.out, "拍摄信息\n"));
    EXPECT_TRUE(has(chinese.out, "协同信息\n"));
    // Without --lang the language comes from LANG.
    EXPECT_EQ(runCli(fixture, "LANG=zh_TW.UTF-8").out, runCli("--lang zh_TW " + fixture).out);
    EXPECT_TRUE(has(runCli(fixture, "LANG=zh_TW.UTF-8").out, "閃光: 打開(自動)\n"));
    EXPECT_EQ(runCli("--lang fr_FR " + fixture).out, english.out);
}

TEST(ExifCommand, FilesWithoutExifAndUnreadableFiles)
{
    test::TempDir dir;
    const CliRun run =
        runCli(test::fixturePath("exif/no_exif.jpg") + " " + dir.file("missing.jpg") + " " +
               test::fixturePath("exif/minimal_ifd0.jpg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, "File name: no_exif.jpg\nFile size: 1.1 KB\n"));
    EXPECT_TRUE(has(run.out, "No EXIF data\n"));
    EXPECT_FALSE(has(run.out, "missing.jpg"));
    EXPECT_TRUE(has(run.out, "Make: Scanner Co\nOrientation: left - bottom\n"));
    EXPECT_EQ(runCli(dir.path().string()).status, 1);  // a folder is not a file
    EXPECT_EQ(runCli("").status, 2);
    EXPECT_EQ(runCli("--bogus x.jpg").status, 2);
    const CliRun help = runCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "--json"));
}

TEST(ExifCommand, JsonCarriesRawValues)
{
    test::TempDir dir;
    const CliRun run = runCli("--json " + test::fixturePath("exif/nikon_motorola.jpg") + " " +
                              dir.file("missing.jpg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.substr(0, 2), "[\n");
    EXPECT_EQ(run.out.substr(run.out.size() - 3), "\n]\n");
    EXPECT_TRUE(has(run.out, "\"name\":\"nikon_motorola.jpg\""));
    EXPECT_TRUE(has(run.out, "\"hasExif\":true"));
    EXPECT_TRUE(has(run.out,
                    "{\"ifd\":34665,\"tag\":33434,\"name\":\"ExposureTime\",\"type\":5,"
                    "\"count\":1,\"text\":\"2\\\"\",\"values\":[[2,1]]}"));
    EXPECT_TRUE(has(run.out,
                    "{\"ifd\":1,\"tag\":271,\"name\":\"Make\",\"type\":2,\"count\":18,"
                    "\"text\":\"NIKON CORPORATION\",\"values\":[\"NIKON CORPORATION\"]}"));
    EXPECT_TRUE(has(run.out,
                    "\"tag\":37385,\"name\":\"Flash\",\"type\":3,\"count\":1,"
                    "\"text\":\"Flash did not fire, compulsory flash mode\",\"values\":[16]}"));
    EXPECT_TRUE(has(run.out, "\"error\":\"cannot read\""));
}

}  // namespace
}  // namespace tavelune
