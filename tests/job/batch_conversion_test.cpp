// Batch runs: names, skipping, failures that do not stop the run, cancelling, thread count.
#include "job/batch_conversion.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using Reason = std::pair<BatchError, std::string>;

Reason reasonOf(const BatchFileResult& result)
{
    return {result.reason.code, result.reason.detail};
}

std::vector<std::string> makePictures(const test::TempDir& dir, int count)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        Image picture;
        picture.create(37 + i, 23, 72.0f);
        for (size_t p = 0; p < picture.pixelCount(); ++p)
            picture.pixels()[p] = 0xFF000000u | uint32_t(p * 2654435761u % 0xFFFFFF);
        paths.push_back(dir.file("in" + std::to_string(i) + ".bmp"));
        EXPECT_TRUE(saveImage(paths.back(), picture));
    }
    return paths;
}

TEST(BatchConversion, OutputNamesTakePrefixAndTypeExtension)
{
    BatchSettings settings;
    settings.outputFolder = "/out";
    EXPECT_EQ(batchOutputPath("/a.b/photo.tif", settings), "/out/QX_photo.jpg");
    settings.type = ImageFormat::Tiff;
    settings.prefix = "";
    settings.outputFolder = "/out/";
    EXPECT_EQ(batchOutputPath("img01.JPG", settings), "/out/img01.tif");
    settings.type = ImageFormat::Bmp;
    EXPECT_EQ(batchOutputPath("noext", settings), "/out/noext.bmp");

    // Kept folders: the same name in two folders gives two outputs, however the path is written.
    settings.keepFolders = true;
    const std::pair<const char*, const char*> kept[] = {
        {"a/x.jpg", "/out/a/x.bmp"},
        {"./a/./b//x.jpg", "/out/a/b/x.bmp"},
        {"b/x.jpg", "/out/b/x.bmp"},
        {"/p/a/x.jpg", "/out/p/a/x.bmp"},
        {"a/../x.jpg", "/out/x.bmp"},
        {"x.jpg", "/out/x.bmp"},
    };
    for (const auto& [input, output] : kept)
        EXPECT_EQ(batchOutputPath(input, settings), output) << input;
}

// The batch offers exactly the formats the format table writes, each once, in the order of
// their type texts, and names its outputs by the table's extension: no list of its own to drift.
TEST(BatchConversion, TypesAreTheFormatTablesWritingRows)
{
    std::set<ImageFormat> offered;
    BatchSettings settings;
    settings.prefix = "";
    int lastText = 0;
    for (ImageFormat format : batchTypes()) {
        EXPECT_TRUE(offered.insert(format).second) << formatRow(format).name << " offered twice";
        const FormatRow* row = findFormat(formatRow(format).extensions[0]);
        ASSERT_NE(row, nullptr) << formatRow(format).name;
        EXPECT_EQ(row->format, format);
        EXPECT_TRUE(row->writes) << row->name << " is offered but not written";
        EXPECT_GT(row->batchTextId, lastText) << row->name << " out of order or without a text";
        lastText = row->batchTextId;
        settings.type = format;
        EXPECT_EQ(batchOutputPath("a.x", settings), std::string("a.") + row->extensions[0]);
    }
    for (const FormatRow& row : formatTable())
        EXPECT_EQ(offered.count(row.format), row.writes ? 1u : 0u) << row.name;
}

TEST(BatchConversion, KeptFoldersGiveEachPictureOneOwnerWhateverThePartOfTheList)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("in/sub"));
    std::vector<std::string> made = makePictures(dir, 1);
    const auto bytes = test::readFileBytes(made[0]);
    for (const char* name : {"in/x.bmp", "in/x.jpg.bmp", "in/sub/x.bmp", "in/x.zzz"})
        test::writeFileBytes(dir.file(name), bytes);
    // x.BMP sorts before x.bmp, so it owns the name even where a run is not given it.
    test::writeFileBytes(dir.file("in/x.BMP"), bytes);
    BatchSettings settings;
    settings.type = ImageFormat::Bmp;
    settings.keepFolders = true;
    settings.outputFolder = dir.file("out");
    const std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    auto results = runBatch({"in/x.bmp", "in/x.jpg.bmp", "in/sub/x.bmp", "../x.bmp"}, settings);
    auto owner = runBatch({"in/x.BMP"}, settings);
    std::filesystem::current_path(was);
    EXPECT_EQ(results[0].status, BatchFileStatus::Failed);
    EXPECT_EQ(reasonOf(results[0]), Reason(BatchError::SameOutput, "in/x.BMP"));
    EXPECT_EQ(results[1].status, BatchFileStatus::Converted) << results[1].reason.detail;
    EXPECT_EQ(results[2].status, BatchFileStatus::Converted) << results[2].reason.detail;
    EXPECT_EQ(results[3].status, BatchFileStatus::Failed);
    EXPECT_EQ(results[3].output, "");
    EXPECT_EQ(reasonOf(results[3]), Reason(BatchError::AboveCurrentFolder, {}));
    EXPECT_EQ(owner[0].status, BatchFileStatus::Converted) << owner[0].reason.detail;
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/in/sub/QX_x.bmp")));
}

TEST(BatchConversion, ResultsDoNotDependOnTheNumberOfJobs)
{
    test::TempDir inputs, one, three;
    std::vector<std::string> files = makePictures(inputs, 5);
    BatchSettings settings;
    settings.type = ImageFormat::Bmp;
    settings.conversion.job.film.sharpnessPosition = 2;
    settings.jobs = 1;
    settings.outputFolder = one.file("out");
    auto first = runBatch(files, settings);
    settings.jobs = 3;
    settings.outputFolder = three.file("out");
    auto second = runBatch(files, settings);
    ASSERT_EQ(first.size(), 5u);
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(first[i].status, BatchFileStatus::Converted) << first[i].reason.detail;
        EXPECT_EQ(second[i].input, files[i]);
        EXPECT_EQ(test::readFileBytes(first[i].output), test::readFileBytes(second[i].output));
    }
}

TEST(BatchConversion, FailuresAreReportedAndTheRunGoesOn)
{
    test::TempDir inputs, outputs;
    std::vector<std::string> files = makePictures(inputs, 2);
    test::writeFileBytes(inputs.file("broken.bmp"), {'B', 'M', 1, 2, 3});
    files.insert(files.begin() + 1, inputs.file("broken.bmp"));
    files.push_back(inputs.file("notes.txt"));
    files.push_back(files[0]);  // the same output name again
    // A raw on which LibRaw aborts its process fails alone.
    files.push_back(inputs.file("hostile.dng"));
    test::writeFileBytes(files.back(), test::readFileBytes(TAVELUNE_SOURCE_DIR
                                                           "/tests/data/raw-crashes/libraw-abort-1.dng"));
    BatchSettings settings;
    settings.outputFolder = outputs.path().string();
    test::MessageCollector messages;
    auto results = runBatch(files, settings);
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results[0].status, BatchFileStatus::Converted);
    EXPECT_EQ(results[1].status, BatchFileStatus::Failed);
    EXPECT_EQ(results[1].reason.code, BatchError::PictureFailed);
    EXPECT_NE(results[1].reason.detail.find("Open image file error !"), std::string::npos);
    EXPECT_EQ(results[2].status, BatchFileStatus::Converted);
    EXPECT_EQ(results[3].status, BatchFileStatus::Failed);
    EXPECT_EQ(results[3].reason.code, BatchError::PictureFailed);
    EXPECT_NE(results[3].reason.detail.find("Don't support image format !"), std::string::npos);
    EXPECT_EQ(results[4].status, BatchFileStatus::Failed);
    EXPECT_EQ(reasonOf(results[4]), Reason(BatchError::SameOutput, files[0]));
    EXPECT_EQ(results[5].status, BatchFileStatus::Failed);
    EXPECT_EQ(results[5].reason.code, BatchError::PictureFailed);
    EXPECT_NE(results[5].reason.detail.find("Open image file error !"), std::string::npos);
    // Each file's boxes stay with it; none reaches the sink the rest of the program uses.
    EXPECT_TRUE(messages.texts().empty());
    auto codes = [](const BatchFileResult& result) {
        std::vector<decltype(Notice::code)> out;
        for (const Notice& notice : result.notices)
            out.push_back(notice.code);
        return out;
    };
    EXPECT_EQ(codes(results[1]), std::vector<decltype(Notice::code)>{ImageError::ReadFailed});
    EXPECT_EQ(codes(results[3]),
              std::vector<decltype(Notice::code)>{ImageError::UnsupportedFormat});
    EXPECT_TRUE(results[0].notices.empty());
}

TEST(BatchConversion, ExistingOutputsAreSkippedUnlessOverwriting)
{
    test::TempDir inputs, outputs;
    std::vector<std::string> files = makePictures(inputs, 1);
    BatchSettings settings;
    settings.outputFolder = outputs.path().string();
    const std::string output = batchOutputPath(files[0], settings);
    test::writeFileBytes(output, {'o', 'l', 'd'});
    auto results = runBatch(files, settings);
    EXPECT_EQ(results[0].status, BatchFileStatus::Skipped);
    EXPECT_EQ(reasonOf(results[0]), Reason(BatchError::OutputExists, {}));
    EXPECT_EQ(test::readFileBytes(output).size(), 3u);
    settings.overwrite = true;
    results = runBatch(files, settings);
    EXPECT_EQ(results[0].status, BatchFileStatus::Converted);
    EXPECT_GT(test::readFileBytes(output).size(), 3u);

    // An empty file or a folder in the output's place is no finished output.
    settings.overwrite = false;
    for (bool folder : {false, true}) {
        std::filesystem::remove(output);
        if (folder)
            std::filesystem::create_directory(output);
        else
            test::writeFileBytes(output, {});
        results = runBatch(files, settings);
        EXPECT_EQ(results[0].status, BatchFileStatus::Failed) << folder;
        EXPECT_EQ(reasonOf(results[0]), Reason(BatchError::OutputNotFinished, output)) << folder;
    }
}

TEST(BatchConversion, NoOutputReplacesAListedPicture)
{
    test::TempDir dir;
    std::vector<std::string> files = makePictures(dir, 2);
    // in0.bmp's output with no prefix is in0.bmp itself; QX_in1.bmp's output would be in1...
    test::writeFileBytes(dir.file("QX_in1.bmp"), test::readFileBytes(files[1]));
    files.push_back(dir.file("QX_in1.bmp"));
    BatchSettings settings;
    settings.outputFolder = dir.path().string() + "/./";
    settings.prefix = "";
    settings.type = ImageFormat::Bmp;
    settings.overwrite = true;
    const auto before = test::readFileBytes(files[0]);
    EXPECT_EQ(batchOutputsReplacingInputs(files, settings), (std::vector<size_t>{0, 1, 2}));
    auto results = runBatch(files, settings);
    for (const BatchFileResult& result : results) {
        EXPECT_EQ(result.status, BatchFileStatus::Failed);
        EXPECT_EQ(reasonOf(result), Reason(BatchError::ReplacesListed, {}));
    }
    EXPECT_EQ(test::readFileBytes(files[0]), before);
    // With a prefix, an output named like another listed file is refused as well.
    settings.prefix = "QX_";
    EXPECT_EQ(batchOutputsReplacingInputs(files, settings), (std::vector<size_t>{1}));
}

TEST(BatchConversion, CancelLeavesTheRestUnprocessed)
{
    test::TempDir inputs, outputs;
    std::vector<std::string> files = makePictures(inputs, 4);
    BatchSettings settings;
    settings.jobs = 1;
    settings.outputFolder = outputs.path().string();
    std::atomic<bool> cancel{false};
    BatchObserver observer;
    int finished = 0;
    observer.finished = [&](size_t, const BatchFileResult&) {
        if (++finished == 2)
            cancel = true;
    };
    auto results = runBatch(files, settings, observer, &cancel);
    EXPECT_EQ(results[1].status, BatchFileStatus::Converted);
    EXPECT_EQ(results[2].status, BatchFileStatus::NotProcessed);
    EXPECT_EQ(results[3].status, BatchFileStatus::NotProcessed);
}

}  // namespace
}  // namespace tavelune
