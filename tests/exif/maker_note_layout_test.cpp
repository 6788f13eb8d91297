// Maker notes through a write: kept in place, rebased, carried as they are, or reported.
#include "exif/maker_note_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "exif/exif_block.h"
#include "exif/exif_data.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A directory of two entries after `prefix`: a SHORT array stored behind it (offset counted
// from the TIFF header, the note lying at `at`) and an inline one.
Bytes directoryNote(int order, std::uint32_t at, const std::string& prefix = "")
{
    const std::size_t start = prefix.size();
    const std::size_t arrayAt = start + 2 + 2 * 12 + 4;
    Bytes note(arrayAt + 8, 0);
    std::copy(prefix.begin(), prefix.end(), note.begin());
    exif::writeU16(note, start, order, 2);
    exif::writeU16(note, start + 2, order, 1);
    exif::writeU16(note, start + 4, order, kShort);
    exif::writeU32(note, start + 6, order, 4);
    exif::writeU32(note, start + 10, order, static_cast<std::uint32_t>(at + arrayAt));
    exif::writeU16(note, start + 14, order, 6);
    exif::writeU16(note, start + 16, order, kShort);
    exif::writeU32(note, start + 18, order, 1);
    exif::writeU16(note, start + 22, order, 77);
    for (std::size_t i = 0; i < 4; ++i) exif::writeU16(note, arrayAt + 2 * i, order, 100 + i);
    return note;
}

TEST(MakerNoteShape, TellsHowANotePointsAtItsValues)
{
    const int ii = exif::kIntel;
    Bytes nikon = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8};
    Bytes fuji = {'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 12, 0, 0, 0, 0, 0};
    Bytes canon = directoryNote(ii, 600);
    Bytes sony = directoryNote(ii, 600, std::string("SONY DSC \0\0\0", 12));
    Bytes outside = directoryNote(ii, 600);
    exif::writeU32(outside, 10, ii, 9000);  // its array lies elsewhere in the block
    Bytes binary(72, 0xAB);
    struct Case {
        const char* what;
        const Bytes& note;
        std::uint32_t offset;
        const char* make;
        MakerNoteLayout layout;
        std::size_t directory;
    };
    const Case cases[] = {
        {"Nikon with its own header", nikon, 600, "NIKON", MakerNoteLayout::SelfContained, 0},
        {"Fujifilm", fuji, 600, "FUJIFILM", MakerNoteLayout::SelfContained, 0},
        {"Canon, bare directory", canon, 600, "Canon", MakerNoteLayout::OuterDirectory, 0},
        {"Sony header", sony, 600, "SONY", MakerNoteLayout::OuterDirectory, 12},
        {"a value outside the note", outside, 600, "Canon", MakerNoteLayout::Unknown, 0},
        {"old offset unknown", canon, 0, "Canon", MakerNoteLayout::Unknown, 0},
        {"offsets of another place", canon, 500, "Canon", MakerNoteLayout::Unknown, 0},
        {"no directory", binary, 600, "Kodak", MakerNoteLayout::Unknown, 0},
    };
    for (const Case& c : cases) {
        const MakerNoteShape shape = makerNoteShape(c.note, ii, c.offset, c.make);
        EXPECT_EQ(shape.layout, c.layout) << c.what;
        EXPECT_EQ(shape.directory, c.directory) << c.what;
    }
}

TEST(MakerNoteShape, RebaseMovesEveryOffsetAndTheCanonTrailer)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        Bytes note = directoryNote(order, 600);
        Bytes trailer = {0, 0, 0, 0, 0, 0, 0, 0};
        std::memcpy(trailer.data(), order == exif::kIntel ? "II" : "MM", 2);
        exif::writeU16(trailer, 2, order, 42);
        exif::writeU32(trailer, 4, order, 600);
        note.insert(note.end(), trailer.begin(), trailer.end());
        const MakerNoteShape shape = makerNoteShape(note, order, 600, "Canon");
        ASSERT_EQ(shape.layout, MakerNoteLayout::OuterDirectory);
        Bytes moved = note;
        ASSERT_TRUE(rebaseMakerNote(moved, shape, order, 600, 1234));
        EXPECT_EQ(exif::readU32(moved, 10, order), 1234u + 30);
        EXPECT_EQ(exif::readU16(moved, 22, order), 77);  // inline values stay
        EXPECT_EQ(exif::readU32(moved, moved.size() - 4, order), 1234u);
        // Moving it back gives the note it was.
        ASSERT_TRUE(rebaseMakerNote(moved, shape, order, 1234, 600));
        EXPECT_EQ(moved, note);
    }
}

// The block as a JPEG, read back.
bool reload(const Bytes& block, ExifData& into)
{
    Bytes jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), block.begin(), block.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
    return into.LoadExifFromBytes(jpeg.data(), jpeg.size(), ImageFormat::Jpeg);
}

TEST(ExifBlock, MakerNoteStaysWhereItsOffsetsPointOrMovesWithThem)
{
    struct Case {
        const char* what;
        std::uint32_t was;  // where the note lay
        Bytes note;
        MakerNotePlacement placement;
    };
    const Bytes nikon = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0,
                         'I', 'I', 42,  0,   8,   0, 0, 0,    0, 0};
    const Case cases[] = {
        {"behind a gap", 900, directoryNote(exif::kIntel, 900), MakerNotePlacement::SameOffset},
        {"where the directories now lie", 20, directoryNote(exif::kIntel, 20),
         MakerNotePlacement::SameOffset},
        {"past a JPEG segment's end", 70000, directoryNote(exif::kIntel, 70000),
         MakerNotePlacement::Rebased},
        {"self-contained", 70000, nikon, MakerNotePlacement::Moved},
        {"no directory, too far", 70000, Bytes(40, 0xAB), MakerNotePlacement::OffsetsMayBeInvalid},
    };
    for (const Case& c : cases) {
        ExifData exif;
        test::fillShootingModel(exif);
        ExifEntry* note = exif.FindEntry(kExifIfd, 37500, EntryLookup::Create);
        ASSERT_NE(note, nullptr);
        ASSERT_TRUE(note->SetFromRaw(kExifIfd, 37500, kUndefined,
                                     static_cast<std::uint32_t>(c.note.size()), c.note.data(),
                                     exif::kIntel));
        exif.SortEntries();
        std::vector<const ExifEntry*> entries;
        for (const auto& entry : exif.entries()) entries.push_back(entry.get());
        ExifBlockSource source;
        source.makerNoteOffset = c.was;
        source.make = "Canon";
        MakerNotePlacement placement = MakerNotePlacement::None;
        const auto block = buildExifBlock(entries, ExifBlockKind::JpegSegment, source, &placement);
        ASSERT_TRUE(block) << c.what;
        EXPECT_EQ(placement, c.placement) << c.what;
        EXPECT_EQ(block->size(), exifBlockSize(entries, ExifBlockKind::JpegSegment, source))
            << c.what;

        ExifData back;
        ASSERT_TRUE(reload(*block, back)) << c.what;
        const ExifEntry* written = back.FindEntry(kExifIfd, 37500);
        ASSERT_NE(written, nullptr) << c.what;
        for (const auto& entry : exif.entries()) {
            if (entry->ifd() != kMakerNoteIfd && entry->tag() != 37500) {
                EXPECT_NE(back.FindEntry(entry->ifd(), entry->tag()), nullptr) << c.what;
            }
        }
        if (c.placement == MakerNotePlacement::SameOffset) {
            EXPECT_EQ(back.makerNoteOffset(), int(c.was)) << c.what;
        }
        if (c.placement != MakerNotePlacement::Rebased) {
            EXPECT_EQ(written->value(), c.note) << c.what;
            continue;
        }
        // The rebased note points at its own array again.
        const std::uint32_t now = static_cast<std::uint32_t>(back.makerNoteOffset());
        EXPECT_EQ(exif::readU32(written->value(), 10, exif::kIntel), now + 30) << c.what;
        const MakerNoteShape shape = makerNoteShape(written->value(), exif::kIntel, now, "Canon");
        EXPECT_EQ(shape.layout, MakerNoteLayout::OuterDirectory);
    }
}

TEST(ExifBlock, EntriesOfEveryDirectoryAscendAndStayInTheirOrder)
{
    ExifData exif;
    test::fillShootingModel(exif);
    for (int order : {exif::kIntel, exif::kMotorola}) {
        std::vector<const ExifEntry*> entries;
        for (const auto& entry : exif.entries()) entries.push_back(entry.get());
        ExifBlockSource source;
        source.byteOrder = order;
        const auto block = buildExifBlock(entries, ExifBlockKind::JpegSegment, source);
        ASSERT_TRUE(block);
        EXPECT_EQ((*block)[10], order == exif::kIntel ? 'I' : 'M');
        ExifData back;
        ASSERT_TRUE(reload(*block, back));
        EXPECT_EQ(back.byteOrder(), order);
        for (const auto& entry : exif.entries()) {
            const ExifEntry* read = back.FindEntry(entry->ifd(), entry->tag());
            ASSERT_NE(read, nullptr) << entry->tag();
            EXPECT_EQ(read->value(), entry->value()) << entry->tag();
        }
    }
}

// A big-endian TIFF whose maker note is no directory: the rewrite turns the file to "II", so
// the note cannot be vouched for, and the user is told.
TEST(MakerNoteReport, ExifSetSaysWhenOffsetsMayBeInvalid)
{
    test::TempDir dir;
    const std::string path = dir.file("scan.tif");
    auto build = [](std::uint32_t strip) {
        test::TiffBuilder builder(exif::kMotorola);
        builder.addLongs(kIfd0, 256, {2})
            .addLongs(kIfd0, 257, {1})
            .addShorts(kIfd0, 258, {8, 8, 8})
            .addShorts(kIfd0, 259, {1})
            .addShorts(kIfd0, 262, {2})
            .addAscii(kIfd0, 271, "Some Maker")
            .addLongs(kIfd0, 273, {strip})
            .addShorts(kIfd0, 277, {3})
            .addLongs(kIfd0, 278, {1})
            .addLongs(kIfd0, 279, {6})
            .addUndefined(kExifIfd, 37500, Bytes(40, 0xAB));
        return builder.build().bytes;
    };
    Bytes file = build(static_cast<std::uint32_t>(build(0).size()));
    file.insert(file.end(), {1, 2, 3, 4, 5, 6});
    test::writeFileBytes(path, file);
    const test::CliResult result =
        test::runTaveluneCli("exif set " + test::shellQuote(path) + " Artist=Ann");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(path + ": maker note offsets may be invalid"), std::string::npos)
        << result.out;
    ExifData back;
    ASSERT_TRUE(back.LoadExif(path));
    EXPECT_EQ(back.FindEntry(kExifIfd, 37500)->value(), Bytes(40, 0xAB));

    // A note whose place is kept is not reported.
    const std::string jpeg = dir.file("sony.jpg");
    test::writeFileBytes(jpeg,
                         test::readFileBytes(test::fixturePath("camera-exif/sony-dsc-w7.jpg")));
    const test::CliResult kept =
        test::runTaveluneCli("exif set " + test::shellQuote(jpeg) + " Artist=Ann");
    EXPECT_EQ(kept.out.find("maker note"), std::string::npos) << kept.out;
}

}  // namespace
}  // namespace tavelune
