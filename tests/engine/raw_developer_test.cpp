// The raw developer process and its reply block: whatever the process leaves behind, the
// program gets a picture that is whole or a failure with a reason.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "engine/codec_support.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/pixel_limit.h"
#include "engine/raw_codec.h"
#include "engine/raw_developer.h"
#include "engine/raw_reply.h"
#include "exif/exif_data.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

RawReply sampleReply()
{
    RawReply reply;
    reply.shot.make = "Tavelune";
    reply.shot.model = "Test Camera";
    reply.shot.isoSpeed = 200;
    reply.shot.timestamp = 1700000000;
    reply.shot.orientation = 6;
    reply.shot.width = 3;
    reply.shot.height = 2;
    reply.fullWidth = 3;
    reply.fullHeight = 2;
    reply.width = 3;
    reply.height = 2;
    reply.preview = {0xFF, 0xD8, 0xFF, 0xD9};
    return reply;
}

std::vector<std::uint8_t> block(const RawReply& reply, const std::vector<std::uint32_t>& pixels)
{
    std::vector<std::uint8_t> bytes = encodeRawReplyHead(reply);
    const std::size_t head = bytes.size();
    bytes.resize(head + 3 * pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        storeRawReplyPixel(bytes.data() + head + 3 * i, pixels[i]);
    return bytes;
}

TEST(RawReply, ReadsBackWhatWasWrittenAndNothingCutOrPadded)
{
    const std::vector<std::uint32_t> pixels = {0xFF010203, 0xFF040506, 0xFF070809,
                                               0xFFA0B0C0, 0xFFD0E0F0, 0xFF123456};
    const auto bytes = block(sampleReply(), pixels);
    RawReply read;
    ASSERT_TRUE(decodeRawReply(bytes.data(), bytes.size(), read));
    EXPECT_EQ(read.shot.model, "Test Camera");
    EXPECT_EQ(read.shot.timestamp, 1700000000);
    EXPECT_EQ(read.shot.orientation, 6);
    EXPECT_EQ(read.preview, sampleReply().preview);
    Image image;
    ASSERT_TRUE(copyRawReplyPixels(read, image));
    ASSERT_EQ(image.width(), 3);
    ASSERT_EQ(image.height(), 2);
    EXPECT_EQ(image.rowFromTop(0)[2], 0xFF070809u);
    EXPECT_EQ(image.rowFromTop(1)[0], 0xFFA0B0C0u);

    // Every shorter block, and one byte more, is not a reply.
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(decodeRawReply(bytes.data(), size, read)) << size;
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(decodeRawReply(longer.data(), longer.size(), read));
}

TEST(RawReply, RefusesSizesItCannotHold)
{
    struct Case {
        const char* name;
        int width, height;
        std::size_t pixelsGiven;
    };
    const Case cases[] = {
        {"one side zero", 3, 0, 0},
        {"negative", -3, -2, 0},
        {"over the pixel limit", 1 << 15, 1 << 15, 0},
        {"pixels short of the size", 3, 2, 5},
    };
    for (const Case& c : cases) {
        RawReply reply = sampleReply();
        reply.width = c.width;
        reply.height = c.height;
        const auto bytes = block(reply, std::vector<std::uint32_t>(c.pixelsGiven, 0xFF000000));
        RawReply read;
        EXPECT_FALSE(decodeRawReply(bytes.data(), bytes.size(), read)) << c.name;
    }
}

// Developers that go wrong in each way a process can; the file itself is a good raw name.
TEST(RawDeveloper, AFailedDeveloperIsAFailureWithAReason)
{
    test::TempDir dir;
    const char* named = std::getenv("TAVELUNE_RAW_DEVELOPER");
    const std::string saved = named ? named : "";
    struct Case {
        const char* name;
        const char* script;  // nullptr: no such program
        const char* reason;
    };
    const Case cases[] = {
        {"killed by a signal", "kill -SEGV $$", "damaged or truncated raw data"},
        {"aborts", "kill -ABRT $$", "damaged or truncated raw data"},
        {"exits without a reply", "exit 0", "damaged or truncated raw data"},
        {"answers garbage", "printf 'TVRW garbage' >&3", "damaged or truncated raw data"},
        {"fails", "exit 7", "the raw developer failed (status 7)"},
        {"missing", nullptr, "the raw developer tavelune-raw is not installed"},
    };
    for (const Case& c : cases) {
        const std::string program = dir.file("developer.sh");
        std::remove(program.c_str());
        if (c.script) {
            const std::string text = std::string("#!/bin/sh\n") + c.script + "\n";
            test::writeFileBytes(program, {text.begin(), text.end()});
            ::chmod(program.c_str(), 0755);
        }
        ::setenv("TAVELUNE_RAW_DEVELOPER", program.c_str(), 1);
        Image out;
        clearCodecFailure();
        EXPECT_FALSE(RawCodec().read(dir.file("shot.dng"), out)) << c.name;
        EXPECT_TRUE(out.isEmpty()) << c.name;
        EXPECT_EQ(lastCodecFailure(), c.reason) << c.name;
        RawShotInfo info;
        EXPECT_FALSE(readRawShotInfo(dir.file("shot.dng"), info)) << c.name;
    }
    ::setenv("TAVELUNE_RAW_DEVELOPER", saved.c_str(), 1);
}

// A developer that never ends is killed at the limit, and the file is not asked again.
TEST(RawDeveloper, OneStillAtWorkAtTheLimitIsKilledAndTheFileRefused)
{
    test::TempDir dir;
    const char* named = std::getenv("TAVELUNE_RAW_DEVELOPER");
    const std::string saved = named ? named : "";
    const std::string program = dir.file("developer.sh");
    const std::string started = dir.file("started");
    const std::string script = "#!/bin/sh\necho $$ >> " + started + "\nexec sleep 30\n";
    test::writeFileBytes(program, {script.begin(), script.end()});
    ::chmod(program.c_str(), 0755);
    const std::string shot = dir.file("shot.dng");
    test::writeFileBytes(shot, {'I', 'I', 42, 0});
    ::setenv("TAVELUNE_RAW_DEVELOPER", program.c_str(), 1);
    ::setenv("TAVELUNE_RAW_TIME_LIMIT", "0.3", 1);
    const auto startedPids = [&] {
        std::vector<pid_t> pids;
        std::ifstream in(started);
        for (pid_t pid = 0; in >> pid;)
            pids.push_back(pid);
        return pids;
    };
    const std::string reason =
        "\"" + shot + "\": the raw developer gave no picture within 1 s and was stopped; the "
        "file may be damaged";

    test::MessageCollector messages;
    Image out;
    clearCodecFailure();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(RawCodec().read(shot, out));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    EXPECT_EQ(lastCodecFailure(), reason);
    // The user is told in a box of its own, before the open error.
    const Warnings<ImageError> boxes = takeLibraryBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].code, ImageError::DeveloperRefused);
    EXPECT_EQ(boxes[0].detail, reason);
    EXPECT_TRUE(messages.texts().empty());
    const std::vector<pid_t> first = startedPids();
    ASSERT_EQ(first.size(), 1u);
    // Killed and reaped: no process, not even a zombie, has its id.
    EXPECT_EQ(::kill(first[0], 0), -1);
    EXPECT_EQ(errno, ESRCH);

    RawShotInfo info;
    EXPECT_FALSE(readRawShotInfo(shot, info));
    EXPECT_EQ(lastCodecFailure(), reason);
    EXPECT_EQ(startedPids().size(), 1u) << "asked again";

    // A changed file is a new one.
    test::writeFileBytes(shot, {'I', 'I', 42, 0, 8});
    EXPECT_FALSE(readRawShotInfo(shot, info));
    EXPECT_EQ(startedPids().size(), 2u);

    ::unsetenv("TAVELUNE_RAW_TIME_LIMIT");
    ::setenv("TAVELUNE_RAW_DEVELOPER", saved.c_str(), 1);
}

// The one refusal the user can act on rides along as its own box, before the open error,
// on the open road and the EXIF road alike; nothing is shown by the engine itself.
TEST(RawDeveloper, ACameraItDoesNotKnowIsABoxBeforeTheFailure)
{
    test::TempDir dir;
    const char* named = std::getenv("TAVELUNE_RAW_DEVELOPER");
    const std::string saved = named ? named : "";
    RawReply refusal;
    refusal.failure = RawFailure::Shown;
    refusal.reason = "camera not supported: Tavelune Future";
    const std::vector<std::uint8_t> reply = encodeRawReplyHead(refusal);
    test::writeFileBytes(dir.file("reply"), {reply.begin(), reply.end()});
    const std::string script = "#!/bin/sh\ncat '" + dir.file("reply") + "' >&3\n";
    test::writeFileBytes(dir.file("developer.sh"), {script.begin(), script.end()});
    ::chmod(dir.file("developer.sh").c_str(), 0755);
    ::setenv("TAVELUNE_RAW_DEVELOPER", dir.file("developer.sh").c_str(), 1);
    test::writeFileBytes(dir.file("shot.dng"), {'I', 'I', 42, 0});

    test::MessageCollector shown;
    Image out;
    const ImageStatus opened = openImage(dir.file("shot.dng"), out);
    EXPECT_EQ(opened.code(), ImageError::ReadFailed);
    ASSERT_EQ(opened.warnings().size(), 1u);
    EXPECT_EQ(opened.warnings()[0].code, ImageError::DeveloperRefused);
    EXPECT_EQ(imageErrorText(opened.warnings()[0]), refusal.reason);
    EXPECT_EQ(imageErrorCaption(ImageError::DeveloperRefused), "");
    EXPECT_EQ(imageErrorIcon(ImageError::DeveloperRefused), MessageIcon::Warning);

    RawShotInfo info;
    clearCodecFailure();
    EXPECT_FALSE(readRawShotInfo(dir.file("shot.dng"), info));
    const Warnings<ImageError> boxes = takeLibraryBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].detail, refusal.reason);
    ExifData exif;
    EXPECT_FALSE(exif.LoadExif(dir.file("shot.dng")));
    ASSERT_EQ(exif.warnings().size(), 1u);
    EXPECT_EQ(exif.warnings()[0].code, ExifError::DeveloperRefused);
    EXPECT_EQ(exifBoxText(ExifError::DeveloperRefused, exif.warnings()[0].detail), refusal.reason);
    EXPECT_TRUE(shown.messages().empty());
    ::setenv("TAVELUNE_RAW_DEVELOPER", saved.c_str(), 1);
}

}  // namespace
}  // namespace tavelune
