// The photographer's location: read from the GPS directory, carried through every write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "exif/byte_order.h"
#include "exif/exif_block.h"
#include "exif/exif_editor_model.h"
#include "exif/exif_list.h"
#include "exif/keep_exif.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

using test::Bytes;
using test::le16;
using test::le32;

// GPSVersionID, LatitudeRef, Latitude, LongitudeRef, Longitude, AltitudeRef, Altitude.
constexpr std::size_t kGpsEntries = 7;

test::TiffBuilder& addLocation(test::TiffBuilder& builder)
{
    return builder.addRaw(kGpsIfd, 0, kByte, 4, {2, 3, 0, 0})
        .addAscii(kGpsIfd, 1, "N")
        .addRationals(kGpsIfd, 2, {{48, 1}, {51, 1}, {2956, 100}})
        .addAscii(kGpsIfd, 3, "E")
        .addRationals(kGpsIfd, 4, {{2, 1}, {17, 1}, {4020, 100}})
        .addRaw(kGpsIfd, 5, kByte, 1, {0})
        .addRationals(kGpsIfd, 6, {{3500, 100}});
}

// The same location as model entries, for writing without a source file.
void addLocation(ExifData& exif)
{
    auto add = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, Bytes bytes) {
        auto entry = std::make_unique<ExifEntry>();
        ASSERT_TRUE(entry->SetFromRaw(kGpsIfd, tag, type, count, bytes.data(), exif::kIntel));
        exif.entries().push_back(std::move(entry));
    };
    add(0, kByte, 4, {2, 3, 0, 0});
    add(1, kAscii, 2, {'N', 0});
    add(2, kRational, 3,
        {48, 0, 0, 0, 1, 0, 0, 0, 51, 0, 0, 0, 1, 0, 0, 0, 0x8C, 0x0B, 0, 0, 100, 0, 0, 0});
    add(6, kRational, 1, {0xAC, 0x0D, 0, 0, 100, 0, 0, 0});
}

std::vector<const ExifEntry*> gpsEntries(const ExifData& exif)
{
    std::vector<const ExifEntry*> found;
    for (const auto& entry : exif.entries())
        if (entry->ifd() == kGpsIfd)
            found.push_back(entry.get());
    return found;
}

std::vector<const ExifEntry*> pointersOf(const ExifData& exif)
{
    std::vector<const ExifEntry*> all;
    for (const auto& entry : exif.entries()) all.push_back(entry.get());
    return all;
}

// The location entries of two models hold the same types and values.
void expectSameLocation(const ExifData& actual, const ExifData& expected)
{
    const auto a = gpsEntries(actual), e = gpsEntries(expected);
    ASSERT_EQ(a.size(), e.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i]->tag(), e[i]->tag());
        EXPECT_EQ(a[i]->type(), e[i]->type()) << e[i]->tag();
        EXPECT_EQ(a[i]->count(), e[i]->count()) << e[i]->tag();
        EXPECT_EQ(a[i]->value(), e[i]->value()) << e[i]->tag();
    }
}

test::TiffBuilder shotWithLocation(int order)
{
    test::TiffBuilder builder(order);
    builder.addAscii(kIfd0, 271, "Canon").addRationals(kExifIfd, 33434, {{1, 125}});
    addLocation(builder);
    return builder;
}

// A 2 x 2 RGB picture in one strip after the directories, with a location.
Bytes tiffWithLocation(int order)
{
    auto build = [&](std::uint32_t first) {
        test::TiffBuilder builder(order);
        builder.addLongs(kIfd0, 256, {2})
            .addLongs(kIfd0, 257, {2})
            .addShorts(kIfd0, 258, {8, 8, 8})
            .addShorts(kIfd0, 259, {1})
            .addShorts(kIfd0, 262, {2})
            .addAscii(kIfd0, 271, "OldMake")
            .addLongs(kIfd0, 273, {first})
            .addShorts(kIfd0, 277, {3})
            .addLongs(kIfd0, 278, {2})
            .addLongs(kIfd0, 279, {12})
            .addRationals(kExifIfd, 33434, {{1, 125}});
        addLocation(builder);
        return builder.build().bytes;
    };
    Bytes file = build(static_cast<std::uint32_t>(build(0).size()));
    for (int i = 0; i < 12; ++i) file.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return file;
}

const char* containerName(bool tiff)
{
    return tiff ? "TIFF" : "JPEG";
}

ImageFormat containerFormat(bool tiff)
{
    return tiff ? ImageFormat::Tiff : ImageFormat::Jpeg;
}

Bytes container(const test::TiffBuilder& builder, bool tiff)
{
    const Bytes bytes = builder.build().bytes;
    return tiff ? bytes : test::jpegWithExif(bytes);
}

TEST(GpsReading, FollowsTheGpsPointerOfIfd0InBothOrders)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        for (bool tiff : {false, true}) {
            SCOPED_TRACE(std::string(containerName(tiff)) +
                         (order == exif::kIntel ? " II" : " MM"));
            const Bytes file = container(shotWithLocation(order), tiff);
            ExifData exif;
            ASSERT_TRUE(exif.LoadExifFromBytes(file.data(), file.size(), containerFormat(tiff)));
            const auto gps = gpsEntries(exif);
            ASSERT_EQ(gps.size(), kGpsEntries);
            EXPECT_EQ(exif.FindEntry(kGpsIfd, 0)->value(), (Bytes{2, 3, 0, 0}));
            EXPECT_EQ(exif.FindEntry(kGpsIfd, 1)->ValueText(), "N");
            const ExifEntry* latitude = exif.FindEntry(kGpsIfd, 2);
            ASSERT_EQ(latitude->count(), 3u);
            EXPECT_EQ(latitude->GetFraction(2).numerator, 2956);
            EXPECT_EQ(latitude->GetFraction(2).denominator, 100);
            EXPECT_EQ(exif.GetNumber(kGpsIfd, 6, 0), 35);
            EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Canon");
            EXPECT_EQ(exif.FindEntry(kExifIfd, 33434)->GetFraction(0).denominator, 125);
            // The pointer itself is the layout's business, not the model's.
            for (const auto& entry : exif.entries()) EXPECT_NE(entry->tag(), kGpsIfd);

            // The information list shows no location rows.
            for (const ExifListRow& row : buildExifListRows(exif, "en_US"))
                EXPECT_NE(row.itemValue >> 16, kGpsIfd) << row.name;
        }
    }
}

TEST(GpsReading, BrokenGpsPointersAreBounded)
{
    // Each case is IFD0 (Make) -> Exif (ExposureTime) plus a GPS pointer made to fail.
    struct Case {
        const char* name;
        std::function<test::TiffBuilder(int order)> build;
        std::size_t jpegGps, tiffGps;  // location entries still read
    };
    auto base = [](int order) {
        test::TiffBuilder builder(order);
        builder.addAscii(kIfd0, 271, "Canon").addRationals(kExifIfd, 33434, {{1, 125}});
        return builder;
    };
    auto sizeOf = [&](int order) {
        return static_cast<std::uint32_t>(base(order).build().bytes.size());
    };
    const Case cases[] = {
        {"past the end",
         [&](int order) {
             auto b = base(order);
             b.addLongs(kIfd0, kGpsIfd, {0xFFFFFFF0u});
             return b;
         },
         0, 0},
        {"back to IFD0",
         [&](int order) {
             auto b = base(order);
             b.addLongs(kIfd0, kGpsIfd, {8});
             return b;
         },
         0, 0},
        {"a count beyond the end",
         [&](int order) {
             auto b = base(order);
             b.addLongs(kIfd0, kGpsIfd, {sizeOf(order) + 12});
             return b;
         },
         0, 0},
        {"a GPS directory looping back through an Exif pointer",
         [&](int order) {
             auto b = shotWithLocation(order);
             b.addLongs(kGpsIfd, kExifIfd, {8});
             return b;
         },
         kGpsEntries, kGpsEntries},
        {"a GPS value past the end",
         [&](int order) {
             auto b = shotWithLocation(order);
             b.addRaw(kGpsIfd, 7, kRational, 3, Bytes(24, 0));
             return b;
         },
         kGpsEntries, 0},
    };
    for (const Case& c : cases) {
        for (int order : {exif::kIntel, exif::kMotorola}) {
            for (bool tiff : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + " " + containerName(tiff));
                test::TiffBuilder builder = c.build(order);
                Bytes file = builder.build().bytes;
                if (std::string(c.name) == "a GPS value past the end") {
                    // The last GPS entry's value offset is moved past the end of the bytes.
                    const std::uint32_t gps = builder.build().gps;
                    const std::uint16_t n = exif::readU16(file, gps, order).value();
                    exif::writeU32(file, gps + 2 + 12 * (n - 1) + 8, order, 0x7FFFFFF0u);
                }
                if (std::string(c.name) == "a count beyond the end") {
                    // A count word at the very end, whose entries are not there.
                    file.resize(file.size() + 2);
                    exif::writeU16(file, file.size() - 2, order, 40);
                }
                if (!tiff)
                    file = test::jpegWithExif(file);
                ExifData exif;
                ASSERT_TRUE(
                    exif.LoadExifFromBytes(file.data(), file.size(), containerFormat(tiff)));
                EXPECT_EQ(gpsEntries(exif).size(), tiff ? c.tiffGps : c.jpegGps);
                std::size_t makes = 0;
                for (const auto& entry : exif.entries()) makes += entry->tag() == 271;
                EXPECT_EQ(makes, 1u);  // IFD0 is read once
                EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Canon");
                EXPECT_NE(exif.FindEntry(kExifIfd, 33434), nullptr);
            }
        }
    }
}

TEST(ExifBlock, GpsDirectoryComesAfterTheOthersWithItsPointerInIfd0)
{
    ExifData exif;
    test::fillShootingModel(exif);
    addLocation(exif);
    exif.SortEntries();
    std::uint64_t n[3] = {}, v[3] = {};
    for (const auto& e : exif.entries()) {
        const int i = e->ifd() == kIfd0         ? 0
                      : e->ifd() == kExifIfd    ? 1
                      : e->ifd() == kInteropIfd ? 2
                                                : -1;
        if (i < 0)
            continue;
        n[i] += 1;
        v[i] += e->size() > 4 ? e->size() + (e->size() & 1) : 0;
    }
    const auto entries = pointersOf(exif);
    const auto block = buildExifBlock(entries, ExifBlockKind::JpegSegment);
    ASSERT_TRUE(block);
    const Bytes& b = *block;
    EXPECT_EQ(b.size(), exifBlockSize(entries, ExifBlockKind::JpegSegment).value());

    const std::size_t ifd0 = 18;
    ASSERT_EQ(le16(b, ifd0), n[0] + 2);
    const std::size_t exifPointer = ifd0 + 2 + 12 * n[0], gpsPointer = exifPointer + 12;
    EXPECT_EQ(le16(b, exifPointer), kExifIfd);
    EXPECT_EQ(le16(b, gpsPointer), kGpsIfd);
    EXPECT_EQ(le16(b, gpsPointer + 2), kLong);
    EXPECT_EQ(le32(b, gpsPointer + 4), 1u);
    const std::uint32_t exifOffset = le32(b, exifPointer + 8);
    EXPECT_EQ(exifOffset, 8 + 2 + 12 * (n[0] + 2) + 4 + v[0]);
    const std::uint32_t interop = exifOffset + 2 + 12 * (n[1] + 1) + 4 + v[1];
    const std::uint32_t gps = le32(b, gpsPointer + 8);
    EXPECT_EQ(gps, interop + 2 + 12 * n[2] + 4 + v[2]);
    EXPECT_EQ(gps % 2, 0u);

    // GPSVersionID, LatitudeRef, Latitude (24 bytes away), Altitude (8 bytes away), in order.
    ASSERT_EQ(le16(b, 10 + gps), 4);
    const std::size_t slots = 10 + gps + 2;
    EXPECT_EQ(le16(b, slots), 0);
    EXPECT_EQ(0, std::memcmp(b.data() + slots + 8, "\x02\x03\0\0", 4));
    EXPECT_EQ(le16(b, slots + 24), 2);
    const std::uint32_t latitudeAt = le32(b, slots + 24 + 8);
    EXPECT_EQ(latitudeAt, gps + 2 + 12 * 4 + 4);
    EXPECT_EQ(le32(b, 10 + latitudeAt + 16), 2956u);
    EXPECT_EQ(le32(b, slots + 36 + 8), latitudeAt + 24);
    EXPECT_EQ(le32(b, 10 + latitudeAt + 24), 3500u);
    EXPECT_EQ(le32(b, slots + 48), 0u);  // no next directory
    EXPECT_EQ(b.size(), 10 + latitudeAt + 24 + 8);

    // A location alone still makes a valid IFD0: the pointer is its only entry.
    ExifData only;
    addLocation(only);
    const auto alone = buildExifBlock(pointersOf(only), ExifBlockKind::JpegSegment);
    ASSERT_TRUE(alone);
    EXPECT_EQ(le16(*alone, 18), 1);
    EXPECT_EQ(le16(*alone, 20), kGpsIfd);
    EXPECT_EQ(le32(*alone, 28), 8u + 2 + 12 + 4);
}

TEST(ExifBlock, LocationCountsTowardsTheJpegLimit)
{
    ExifData exif;
    addLocation(exif);
    setTextValue(exif.FindEntry(kIfd0, 270, EntryLookup::Create), std::string(60000, 'x'));
    const std::uint64_t size = exifBlockSize(pointersOf(exif), ExifBlockKind::JpegSegment).value();
    ExifData withoutLocation;
    setTextValue(withoutLocation.FindEntry(kIfd0, 270, EntryLookup::Create),
                 std::string(60000, 'x'));
    // A pointer, then the directory: 4 entries, next-directory word, latitude and altitude.
    EXPECT_EQ(size, exifBlockSize(pointersOf(withoutLocation), ExifBlockKind::JpegSegment).value() +
                        12 + 2 + 12 * 4 + 4 + 24 + 8);

    // Sizes are even: 65534 bytes is the largest segment, two more are refused.
    setTextValue(exif.FindEntry(kIfd0, 270, EntryLookup::Existing),
                 std::string(60000 + 65534 - size, 'x'));
    EXPECT_EQ(exifBlockSize(pointersOf(exif), ExifBlockKind::JpegSegment).value_or(0), 65534u);
    test::TempDir dir;
    const std::string path = dir.file("photo.jpg");
    ASSERT_TRUE(test::writePicture(path));
    ASSERT_TRUE(exif.SaveExif(path));
    ExifData back;
    ASSERT_TRUE(back.LoadExif(path));
    expectSameLocation(back, exif);

    setTextValue(exif.FindEntry(kIfd0, 270, EntryLookup::Existing),
                 std::string(60000 + 65536 - size, 'x'));
    EXPECT_FALSE(exifBlockSize(pointersOf(exif), ExifBlockKind::JpegSegment));
    EXPECT_FALSE(buildExifBlock(pointersOf(exif), ExifBlockKind::JpegSegment));
    const Bytes before = test::readFileBytes(path);
    EXPECT_FALSE(exif.SaveExif(path));
    EXPECT_EQ(test::readFileBytes(path), before);
    EXPECT_TRUE(exifBlockSize(pointersOf(exif), ExifBlockKind::TiffFile));
}

class GpsWriting : public ::testing::Test {
protected:
    test::TempDir dir;
    test::MessageCollector messages;

    // Writes a source file with a location in the given order and loads it.
    std::string source(bool tiff, int order, ExifData& loaded)
    {
        const std::string path = dir.file(tiff ? "scan.tif" : "photo.jpg");
        test::writeFileBytes(path, tiff
                                       ? tiffWithLocation(order)
                                       : test::jpegWithExif(shotWithLocation(order).build().bytes));
        EXPECT_TRUE(loaded.LoadExif(path));
        EXPECT_EQ(gpsEntries(loaded).size(), kGpsEntries);
        return path;
    }
};

TEST_F(GpsWriting, SaveKeepsTheLocationOfEitherByteOrder)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        for (bool tiff : {false, true}) {
            SCOPED_TRACE(std::string(containerName(tiff)) +
                         (order == exif::kIntel ? " II" : " MM"));
            ExifData exif;
            const std::string path = source(tiff, order, exif);
            const Bytes before = test::readFileBytes(path);
            setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Create), "EOS-1V");
            ASSERT_TRUE(exif.SaveExif(path));
            ExifData back;
            ASSERT_TRUE(back.LoadExif(path));
            expectSameLocation(back, exif);
            EXPECT_EQ(back.GetText(kIfd0, 272, "en_US"), "EOS-1V");
            EXPECT_EQ(back.FindEntry(kExifIfd, 33434)->GetFraction(0).denominator, 125);
            const Bytes after = test::readFileBytes(path);
            // The image data after the rewritten EXIF data is the same.
            const std::size_t tail = tiff ? 12 : 11;
            EXPECT_TRUE(std::equal(before.end() - tail, before.end(), after.end() - tail));

            // A second write from the read-back model keeps it too.
            ASSERT_TRUE(back.SaveExif(path));
            ExifData again;
            ASSERT_TRUE(again.LoadExif(path));
            expectSameLocation(again, exif);

            // Deleting the EXIF data takes the location with it.
            ASSERT_TRUE(again.DeleteExif(path));
            ExifData deleted;
            (void)deleted.LoadExif(path);
            EXPECT_TRUE(gpsEntries(deleted).empty());
        }
    }
}

TEST_F(GpsWriting, EditorAndKeptExifCarryTheLocation)
{
    for (bool tiff : {false, true}) {
        SCOPED_TRACE(containerName(tiff));
        ExifData exif;
        const std::string path = source(tiff, exif::kMotorola, exif);
        ExifData original;
        ASSERT_TRUE(original.LoadExif(path));
        ExifEditorModel editor(exif, {24, 16, 72}, "en_US");
        editor.fields().artist = "Ann Example";
        EXPECT_EQ(editor.Write([](const std::string&) { return true; }), EditorOutcome::ClosedOk);
        ExifData back;
        ASSERT_TRUE(back.LoadExif(path));
        EXPECT_EQ(back.GetText(kIfd0, 315, "en_US"), "Ann Example");
        expectSameLocation(back, original);
        expectSameLocation(exif, original);  // the editor reloads what it wrote

        // A conversion's output keeps the source's location.
        const std::string converted = dir.file(tiff ? "from-tiff.jpg" : "from-jpeg.jpg");
        ASSERT_TRUE(test::writePicture(converted));
        ASSERT_TRUE(writeKeptExif(back, converted));
        ExifData kept;
        ASSERT_TRUE(kept.LoadExif(converted));
        expectSameLocation(kept, original);
    }
}

TEST_F(GpsWriting, ExiftoolReadsTheLocationWeWrite)
{
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    for (bool tiff : {false, true}) {
        SCOPED_TRACE(containerName(tiff));
        ExifData exif;
        const std::string path = source(tiff, exif::kMotorola, exif);
        setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Create), "EOS-1V");
        ASSERT_TRUE(exif.SaveExif(path));
        const std::string quoted = test::shellQuote(path);
        const std::string latitude =
            test::commandOutput("exiftool -s3 -n -GPS:GPSLatitude " + quoted);
        ASSERT_FALSE(latitude.empty());
        EXPECT_NEAR(std::stod(latitude), 48 + 51 / 60.0 + 29.56 / 3600, 1e-6);
        EXPECT_EQ(test::commandOutput("exiftool -s3 -GPS:GPSLatitudeRef " + quoted), "North\n");
        EXPECT_NEAR(std::stod(test::commandOutput("exiftool -s3 -n -GPS:GPSAltitude " + quoted)),
                    35, 1e-9);
        EXPECT_EQ(test::commandOutput("exiftool -s3 -GPS:GPSVersionID " + quoted), "2.3.0.0\n");
        const std::string validation =
            test::commandOutput("exiftool -validate -warning -error -a " + quoted + " 2>&1");
        EXPECT_EQ(validation.find("Error"), std::string::npos) << validation;
        // Tags the validator would like that no location source gave us are not our fault.
        std::istringstream lines(validation);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("Missing required") == std::string::npos) {
                EXPECT_EQ(line.find("GPS"), std::string::npos) << validation;
            }
        }
    }
}

}  // namespace
}  // namespace tavelune
