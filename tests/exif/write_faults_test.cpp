// Fault injection: the file system refuses the new file at many points of every write, and the
// original must come out byte for byte as it went in, with no temporary file left behind.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>

#include "exif/keep_exif.h"
#include "support/test_support.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A file-size limit makes every write past it fail with EFBIG, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

std::size_t filesIn(const std::filesystem::path& folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

struct Operation {
    const char* name;
    const char* file;
    std::function<bool(const std::string&)> prepare;  // writes the original
    std::function<bool(const std::string&)> run;
};

TEST(WriteFaults, OriginalSurvivesEveryFailurePoint)
{
    // Without this the limit would end the test program instead of failing the write.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    test::MessageCollector messages;
    auto shootingModel = [](const std::string& path) {
        ExifData exif;
        test::fillShootingModel(exif);
        return exif.SaveExif(path).ok();
    };
    auto saveModel = [&](const std::string& path) {
        ExifData exif;
        test::fillShootingModel(exif);
        setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), "Another artist");
        return exif.SaveExif(path).ok();
    };
    auto deleteExif = [](const std::string& path) { return ExifData().DeleteExif(path).ok(); };
    auto keepExif = [](const std::string& path) {
        ExifData exif;
        test::fillShootingModel(exif);
        return writeKeptExif(exif, path);
    };
    const Operation operations[] = {
        {"JPEG save over JFIF", "a.jpg", [](const std::string& p) { return test::writePicture(p); },
         saveModel},
        {"JPEG save over Exif", "a.jpg",
         [&](const std::string& p) { return test::writePicture(p) && shootingModel(p); },
         saveModel},
        {"JPEG delete", "a.jpg",
         [&](const std::string& p) { return test::writePicture(p) && shootingModel(p); },
         deleteExif},
        {"EXIF kept on save", "a.jpg", [](const std::string& p) { return test::writePicture(p); },
         keepExif},
        {"TIFF save", "a.tif", [](const std::string& p) { return test::writePicture(p, 1); },
         saveModel},
        {"TIFF delete", "a.tif",
         [&](const std::string& p) { return test::writePicture(p, 5) && shootingModel(p); },
         deleteExif},
    };
    for (const Operation& op : operations) {
        test::TempDir dir;
        const std::string path = dir.file(op.file);
        ASSERT_TRUE(op.prepare(path)) << op.name;
        ::chmod(path.c_str(), 0640);
        const Bytes original = test::readFileBytes(path);

        // The size of the new file, from a run on a copy without a limit.
        const std::string probe = dir.file(std::string("probe_") + op.file);
        test::writeFileBytes(probe, original);
        ASSERT_TRUE(op.run(probe)) << op.name;
        const std::size_t newSize = test::readFileBytes(probe).size();
        std::filesystem::remove(probe);

        std::vector<std::size_t> points = {0, 1, 2, 3, 4, 17, 18, 19, 20, 4095, 4096, 4097};
        for (std::size_t i = 1; i < 64; ++i) points.push_back(newSize * i / 64);
        points.push_back(newSize - 1);
        int failures = 0;
        for (std::size_t limit : points) {
            if (limit >= newSize)
                continue;
            bool ok;
            {
                FileSizeLimit guard(limit);
                ok = op.run(path);
            }
            EXPECT_FALSE(ok) << op.name << " at " << limit;
            ASSERT_EQ(test::readFileBytes(path), original) << op.name << " at " << limit;
            EXPECT_EQ(filesIn(dir.path()), 1u) << op.name << " left a temporary file at " << limit;
            EXPECT_EQ(test::fileMode(path), 0640u);
            ++failures;
        }
        EXPECT_GT(failures, 60) << op.name;
        // At exactly the new size the same write goes through.
        bool ok;
        {
            FileSizeLimit guard(newSize);
            ok = op.run(path);
        }
        EXPECT_TRUE(ok) << op.name;
        EXPECT_EQ(test::readFileBytes(path).size(), newSize) << op.name;
    }
    std::signal(SIGXFSZ, previous);
}

}  // namespace
}  // namespace tavelune
