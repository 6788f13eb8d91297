// The batch account: whole-run progress with overlapping files, counts, and existing outputs.
#include "job/batch_tally.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavelune {
namespace {

BatchFileResult resultOf(BatchFileStatus status, const std::string& reason = {})
{
    BatchFileResult result;
    result.status = status;
    if (!reason.empty())
        result.reason = failure(BatchError::PictureFailed, reason);
    return result;
}

TEST(BatchTally, ProgressCountsEveryFileEquallyWhileFilesOverlap)
{
    BatchTally tally(4);
    EXPECT_EQ(tally.overallPercent(), 0);
    EXPECT_EQ(tally.currentFile(), -1);
    tally.fileStarted(0);
    tally.fileStarted(1);
    tally.fileProgress(0, 50);
    tally.fileProgress(1, 30);
    EXPECT_EQ(tally.overallPercent(), 20);  // 80 of 400
    EXPECT_EQ(tally.currentFile(), 1);
    EXPECT_EQ(tally.currentPercent(), 30);
    tally.fileProgress(0, 40);              // going back is ignored
    tally.fileProgress(1, 250);             // clamped
    EXPECT_EQ(tally.overallPercent(), 37);  // 150 of 400
    tally.fileFinished(0, resultOf(BatchFileStatus::Converted));
    tally.fileFinished(1, resultOf(BatchFileStatus::Converted));
    tally.fileProgress(1, 10);  // late progress of a finished file
    EXPECT_EQ(tally.overallPercent(), 50);
    // A skipped file reports no progress but still counts in full.
    tally.fileFinished(2, resultOf(BatchFileStatus::Skipped, "exists"));
    tally.fileFinished(3, resultOf(BatchFileStatus::Failed, "truncated"));
    EXPECT_EQ(tally.overallPercent(), 100);
    EXPECT_EQ(tally.finishedCount(), 4u);
}

TEST(BatchTally, CountsEachFileOnceAndListsFailuresInListOrder)
{
    BatchTally tally(5);
    tally.fileFinished(3, resultOf(BatchFileStatus::Failed, "bad header"));
    tally.fileFinished(0, resultOf(BatchFileStatus::Converted));
    tally.fileFinished(0, resultOf(BatchFileStatus::Failed, "again"));  // a repeat is ignored
    tally.fileFinished(1, resultOf(BatchFileStatus::Failed, "truncated"));
    tally.fileFinished(2, resultOf(BatchFileStatus::NotProcessed));
    tally.fileFinished(9, resultOf(BatchFileStatus::Converted));  // out of range
    EXPECT_EQ(tally.converted(), 1u);
    EXPECT_EQ(tally.skipped(), 0u);
    EXPECT_EQ(tally.failed(), 2u);
    EXPECT_EQ(tally.notProcessed(), 2u);
    const auto failures = tally.failures();
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].first, 1u);
    EXPECT_EQ(failures[0].second.detail, "truncated");
    EXPECT_EQ(failures[1].first, 3u);
    EXPECT_EQ(failures[1].second.detail, "bad header");
}

TEST(BatchTally, FindsTheOutputsThatAlreadyExist)
{
    test::TempDir dir;
    BatchSettings settings;
    settings.outputFolder = dir.path().string();
    settings.type = ImageFormat::Tiff;
    test::writeFileBytes(dir.file("QX_b.tif"), {1});
    test::writeFileBytes(dir.file("QX_c.jpg"), {1});  // another type's output does not count
    const std::vector<std::string> files = {"/in/a.jpg", "/in/b.png", "/in/c.jpg", "/x/b.jpg"};
    EXPECT_EQ(existingBatchOutputs(files, settings), (std::vector<size_t>{1, 3}));
    settings.prefix = "";
    EXPECT_TRUE(existingBatchOutputs(files, settings).empty());
}

TEST(BatchTally, AnEmptyRunIsAtZero)
{
    BatchTally tally(0);
    EXPECT_EQ(tally.overallPercent(), 0);
    EXPECT_EQ(tally.currentPercent(), 0);
    EXPECT_EQ(tally.notProcessed(), 0u);
}

}  // namespace
}  // namespace tavelune
