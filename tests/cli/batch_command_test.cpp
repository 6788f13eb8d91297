// tavelune-cli batch for scripts and many machines: lists, JSON lines, reruns, GNU parallel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <sys/wait.h>

#include "cli/batch_reason.h"
#include "cli/json_text.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

namespace fs = std::filesystem;
using test::shellQuote;

const std::string kCli = TAVELUNE_CLI_PATH;

struct Shell {
    int status = -1;
    std::string out, err;
};

// Runs a shell command line in folder; stdout and stderr are kept apart.
Shell runIn(const std::string& folder, const std::string& command)
{
    test::TempDir capture;
    const std::string out = capture.file("out"), err = capture.file("err");
    const std::string line = "cd " + shellQuote(folder) + " && { " + command + "; } >" +
                             shellQuote(out) + " 2>" + shellQuote(err);
    const int status = std::system(line.c_str());
    auto text = [](const std::string& path) {
        auto bytes = test::readFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(out), text(err)};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

// The value of a string field of one JSON line ("" when it is absent).
std::string field(const std::string& line, const std::string& name)
{
    const std::string key = "\"" + name + "\":\"";
    const size_t start = line.find(key);
    if (start == std::string::npos)
        return {};
    const size_t begin = start + key.size();
    return line.substr(begin, line.find('"', begin) - begin);
}

// input -> status of every JSON line, which must all be whole objects with every field.
std::map<std::string, std::string> statusByInput(const std::string& out)
{
    std::map<std::string, std::string> statuses;
    for (const std::string& line : lines(out)) {
        EXPECT_EQ(line.rfind("{\"input\":\"", 0), 0u) << line;
        EXPECT_NE(line.find(",\"reason\":\""), std::string::npos) << line;
        EXPECT_NE(line.find(",\"milliseconds\":"), std::string::npos) << line;
        EXPECT_EQ(line.back(), '}') << line;
        statuses[field(line, "input")] = field(line, "status");
    }
    return statuses;
}

TEST(BatchCommand, JsonStringsEscapeControlsAndKeepEveryByteOfAName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a/b c.jpg", "\"a/b c.jpg\""},
        {"q\"b\\s", "\"q\\\"b\\\\s\""},
        {"new\nline\t\x1f\x7f", "\"new\\u000aline\\u0009\\u001f\\u007f\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xb7", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xb7\""},
        {"latin1 \xe9.jpg", "\"latin1 \\udce9.jpg\""},
        {"cut \xe2\x82", "\"cut \\udce2\\udc82\""},
        {"overlong \xc0\xaf surrogate \xed\xa0\x80", "\"overlong \\udcc0\\udcaf surrogate \\udced\\udca0\\udc80\""},
        {"", "\"\""},
    };
    for (const auto& [text, json] : cases)
        EXPECT_EQ(cli::jsonString(text), json) << text;
}

// Scripts read these words: they stay as they are, and a detail is never taken as a format.
TEST(BatchCommand, ReasonsKeepTheirEnglishWords)
{
    const std::pair<Failure<BatchError>, const char*> cases[] = {
        {failure(BatchError::None), ""},
        {failure(BatchError::OutputExists), "output exists (use --overwrite)"},
        {failure(BatchError::OutputNotFinished, "/o/QX_a.jpg"),
         "the output path exists but is no finished picture: /o/QX_a.jpg (use --overwrite)"},
        {failure(BatchError::SameOutput, "in/%s%d.jpg"), "same output file as in/%s%d.jpg"},
        {failure(BatchError::AboveCurrentFolder),
         "the picture is above the current folder, so its folder cannot be kept"},
        {failure(BatchError::ReplacesListed), "the output would replace a picture of the list"},
        {failure(BatchError::FilmFailed), "the film step failed (not enough memory)"},
        {failure(BatchError::PictureFailed, "Open image file error !: cut"),
         "Open image file error !: cut"},
    };
    for (const auto& [reason, words] : cases)
        EXPECT_EQ(cli::batchReasonText(reason), words) << int(reason.code);
}

TEST(BatchCommand, ListsFromAFileOrStandardInputGiveOneJsonLinePerFileAndNothingElse)
{
    test::TempDir dir;
    const std::string top = dir.path().string();
    fs::create_directories(dir.file("a"));
    fs::create_directories(dir.file("b c"));
    const auto sample = test::readFileBytes(test::samplePath("coffee.jpg"));
    test::writeFileBytes(dir.file("a/x.jpg"), sample);
    test::writeFileBytes(dir.file("b c/x.jpg"), sample);
    test::writeFileBytes(dir.file("a/broken.jpg"), {0xFF, 0xD8, 0xFF});
    const std::string nulList = std::string("a/x.jpg\0b c/x.jpg\0a/broken.jpg\0", 30);
    test::writeFileBytes(dir.file("list0"), {nulList.begin(), nulList.end()});

    const std::string batch = kCli + " batch --jobs 2 --json --keep-folders -o out ";
    Shell first = runIn(top, batch + "--files-from - -0 < list0");
    EXPECT_EQ(first.status, 1) << first.err;
    auto statuses = statusByInput(first.out);
    EXPECT_EQ(statuses, (std::map<std::string, std::string>{
                            {"a/x.jpg", "converted"}, {"b c/x.jpg", "converted"},
                            {"a/broken.jpg", "failed"}}));
    EXPECT_NE(first.err.find("2 converted, 0 skipped, 1 failed"), std::string::npos) << first.err;
    EXPECT_EQ(test::readFileBytes(dir.file("out/a/QX_x.jpg")),
              test::readFileBytes(dir.file("out/b c/QX_x.jpg")));

    // A rerun with a line list skips what is done, and a kept temporary of a killed run goes.
    test::writeFileBytes(dir.file("list"), {'b', ' ', 'c', '/', 'x', '.', 'j', 'p', 'g', '\n',
                                            'a', '/', 'x', '.', 'j', 'p', 'g', '\n'});
    test::writeFileBytes(dir.file("out/a/.QX_x.jpg.tmp-Ab12Cd"), {'h', 'a', 'l', 'f'});
    Shell again = runIn(top, batch + "--skip-existing --files-from list");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(statusByInput(again.out), (std::map<std::string, std::string>{
                                            {"a/x.jpg", "skipped"}, {"b c/x.jpg", "skipped"}}));
    EXPECT_FALSE(fs::exists(dir.file("out/a/.QX_x.jpg.tmp-Ab12Cd")));

    struct Refusal {
        std::string arguments;
        int status;
        std::string message;
    };
    test::writeFileBytes(dir.file("nul-in-lines"), {'a', '\n', 'b', 0, 'c', '\n'});
    const Refusal refusals[] = {
        {"--files-from nul-in-lines", 1, "line 2 of the list nul-in-lines holds a NUL byte"},
        {"--files-from missing", 1, "cannot read the list missing"},
        {"-0 a/x.jpg", 2, "-0 applies to --files-from"},
        {"--skip-existing --overwrite a/x.jpg", 2, "exclude each other"},
    };
    for (const Refusal& refusal : refusals) {
        Shell run = runIn(top, batch + refusal.arguments);
        EXPECT_EQ(run.status, refusal.status) << refusal.arguments;
        EXPECT_EQ(run.out, "") << refusal.arguments;
        EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    }
    Shell empty = runIn(top, batch + "--files-from /dev/null");
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "");
}

// Every file below folder with its bytes, by path relative to folder.
std::map<std::string, std::vector<unsigned char>> tree(const std::string& folder)
{
    std::map<std::string, std::vector<unsigned char>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = test::readFileBytes(entry.path());
    return files;
}

TEST(BatchCommand, ParallelSlotsGiveTheBytesOfOneRunAndARerunAfterAKillDoesOnlyTheRest)
{
    if (std::system("parallel --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed";
    test::TempDir dir;
    const std::string top = dir.path().string();
    // Twenty photos in four folders with the same five names; big enough to kill a run halfway.
    for (int i = 0; i < 20; ++i) {
        Image picture;
        picture.create(1600, 1000, 72.0f);
        uint32_t* pixels = picture.pixels();
        for (size_t p = 0; p < picture.pixelCount(); ++p)
            pixels[p] = 0xFF000000u | uint32_t((p + i) * 2654435761u % 0xFFFFFF);
        const std::string folder = dir.file("photos/d" + std::to_string(i % 4));
        fs::create_directories(folder);
        ASSERT_TRUE(saveImage(folder + "/p" + std::to_string(i / 4) + ".jpg", picture));
    }
    const std::string options = " --jobs 1 --json --keep-folders --film astia --sharpness 2 -o ";
    const std::string list = "find photos -type f -print0 | ";
    ASSERT_EQ(runIn(top, list + kCli + " batch --files-from - -0" + options + "one").status, 0);
    const auto reference = tree(dir.file("one"));
    ASSERT_EQ(reference.size(), 20u);

    const std::string spread = list + "parallel --will-cite -0 -X --jobs 2 " + kCli + " batch" +
                               options + "spread --skip-existing";
    Shell parallel = runIn(top, spread);
    ASSERT_EQ(parallel.status, 0) << parallel.err;
    EXPECT_EQ(statusByInput(parallel.out).size(), 20u);
    EXPECT_EQ(tree(dir.file("spread")), reference);

    // Killed while both slots are busy, then run again: only the missing files are converted.
    // Two files a job and a pause between job starts, so that a loaded machine cannot finish
    // the run before the kill lands.
    fs::remove_all(dir.file("spread"));
    const std::string paced = list + "parallel --will-cite -0 -n 2 --delay 0.4 --jobs 2 " +
                              kCli + " batch" + options + "spread --skip-existing";
    Shell started = runIn(top, "setsid sh -c " + shellQuote(paced + " >killed.json") +
                                   " >/dev/null 2>&1 & echo $!");
    // parallel gives each job its own process group; the session holds them all.
    const pid_t session = pid_t(std::stol(started.out));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    size_t done = 0;
    while (done < 4 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        done = fs::exists(dir.file("spread")) ? tree(dir.file("spread")).size() : 0;
    }
    const std::string inSession = "pgrep -s " + std::to_string(session) + " >/dev/null";
    ASSERT_EQ(std::system(("pkill -KILL -s " + std::to_string(session)).c_str()), 0)
        << "the run ended before it could be killed (" << done << " outputs seen)";
    while (std::system(inSession.c_str()) == 0)  // not our children: wait until they are gone
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto survived = tree(dir.file("spread"));
    ASSERT_GE(survived.size(), 4u);
    ASSERT_LT(survived.size(), 20u) << "the run ended before it could be killed";

    Shell rerun = runIn(top, spread);
    ASSERT_EQ(rerun.status, 0) << rerun.err;
    EXPECT_EQ(statusByInput(rerun.out).size(), 20u);
    size_t converted = 0;
    for (const std::string& line : lines(rerun.out)) {
        const std::string output = field(line, "output").substr(std::string("spread/").size());
        EXPECT_EQ(field(line, "status"), survived.count(output) ? "skipped" : "converted") << line;
        converted += field(line, "status") == "converted";
    }
    EXPECT_EQ(converted, 20 - survived.size());
    EXPECT_EQ(tree(dir.file("spread")), reference) << "no partial output, no temporary left";
}

}  // namespace
}  // namespace tavelune
