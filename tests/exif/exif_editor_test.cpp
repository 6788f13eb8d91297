// The EXIF editor's rules: loading, input rules, storing with the rational rules, buttons.
#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

#include "exif/equipment_catalogue.h"
#include "exif/exif_editor_model.h"
#include "exif/exif_messages.h"
#include "support/test_dng.h"
#include "support/test_heif.h"
#include "support/test_support.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

ExifEntry::Fraction fraction(const ExifData& exif, std::uint16_t ifd, std::uint16_t tag)
{
    const ExifEntry* entry = exif.FindEntry(ifd, tag);
    return entry != nullptr ? entry->GetFraction(0) : ExifEntry::Fraction{-1, -1};
}

TEST(ExifEditor, InputRulesPerField)
{
    struct Row {
        EditorField field;
        const char* text;
        bool accepted;
    };
    const Row rows[] = {
        {EditorField::Shutter, "1/125", true},
        {EditorField::Shutter, "1/12345", false},
        {EditorField::Shutter, "0.5", true},
        {EditorField::Shutter, "1/2.5", false},
        {EditorField::Shutter, "-1", false},
        {EditorField::Shutter, "123456789", true},
        {EditorField::Shutter, "1234567890", false},
        {EditorField::Aperture, "5.6", true},
        {EditorField::Aperture, "5.67", true},
        {EditorField::Aperture, "5.678", false},
        {EditorField::Aperture, "1/2", false},
        {EditorField::ExposureCompensation, "-2/3", true},
        {EditorField::ExposureCompensation, "-1.33", true},
        {EditorField::ExposureCompensation, "1-", false},
        {EditorField::ExposureCompensation, "--1", false},
        {EditorField::Iso, "400", true},
        {EditorField::Iso, "4.0", false},
        {EditorField::Iso, "12345", false},
        {EditorField::FocalLength35mm, "50", true},
        {EditorField::Resolution, "300.125", true},
        {EditorField::Resolution, "300.1255", false},
        {EditorField::Width, "a", false},
        {EditorField::FocusDistance, "1.2345", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(acceptsFieldText(row.field, row.text), row.accepted) << row.text;
    EXPECT_TRUE(acceptsFieldText(EditorField::Lens, std::string(128, 'x')));
    EXPECT_FALSE(acceptsFieldText(EditorField::Lens, std::string(129, 'x')));
    EXPECT_TRUE(acceptsFieldText(EditorField::Artist, "镜头镜头"));
    EXPECT_TRUE(acceptsFieldText(EditorField::UserComment, std::string(10240, 'x')));
    EXPECT_FALSE(acceptsFieldText(EditorField::UserComment, std::string(10241, 'x')));

    EXPECT_DOUBLE_EQ(fieldNumber(EditorField::Shutter, "1/125"), 0.008);
    EXPECT_EQ(fieldNumber(EditorField::Shutter, "0/125"), 0);
    EXPECT_EQ(fieldNumber(EditorField::Shutter, "1/"), 0);
    EXPECT_DOUBLE_EQ(fieldNumber(EditorField::ExposureCompensation, "-2/3"), -2.0 / 3);
    EXPECT_DOUBLE_EQ(fieldNumber(EditorField::Aperture, "5.6"), 5.6);
}

TEST(ExifEditor, LoadStripsUnitsAndSplitsCopyright)
{
    ExifData exif;
    test::fillShootingModel(exif);
    setShortValue(exif.FindEntry(kExifIfd, 37385, EntryLookup::Create),
                  3);  // not in the Flash table
    setRationalValue(exif.FindEntry(kExifIfd, 37382, EntryLookup::Create), 4294967295.0);
    const char copyright[] = "Ann \n Bob";
    setTextValue(exif.FindEntry(kIfd0, 33432, EntryLookup::Create), copyright);
    setTextValue(exif.FindEntry(kIfd0, 306, EntryLookup::Existing),
                 "1600:01:01 00:00:00");  // out of the picker's range
    ExifEditorModel editor(exif, {640, 480, 96}, "en_US");
    const ExifEditorFields& f = editor.fields();
    EXPECT_EQ(f.shutter, "1/125");
    EXPECT_EQ(f.aperture, "5.6");
    EXPECT_EQ(f.exposureCompensation, "-0.67");
    EXPECT_EQ(f.focalLength, "50");
    EXPECT_EQ(f.focalLength35mm, "50");
    EXPECT_EQ(f.iso, "400");
    EXPECT_TRUE(f.focusDistanceInfinity);
    EXPECT_EQ(f.make, "Canon");
    EXPECT_EQ(f.lens, "Canon EF 50/1.8");
    EXPECT_EQ(f.copyrightPhotographer, "Ann");
    EXPECT_EQ(f.copyrightEditor, "Bob");
    EXPECT_EQ(f.dateTimeOriginal.year, 2024);
    EXPECT_EQ(f.dateTimeOriginal.minute, 30);
    EXPECT_NE(f.dateTime.year, 1600);
    EXPECT_EQ(f.flash.items[static_cast<std::size_t>(f.flash.selected)].text, "0003.H");
    EXPECT_EQ(f.flash.items.size(), 23u);
    EXPECT_EQ(f.meteringMode.items[static_cast<std::size_t>(f.meteringMode.selected)].text,
              "Unknown");
    EXPECT_EQ(f.width, "640");  // no PixelXDimension: the picture's width
    EXPECT_EQ(f.resolution, "300.00");
    EXPECT_EQ(f.resolutionUnit.selected, 0);
    EXPECT_EQ(f.makers.size(), 37u);
    EXPECT_EQ(pickerDisplayText(f.dateTimeOriginal), "2024-05-01 10:30:00");

    // The unknown Flash value is written back unchanged.
    ASSERT_TRUE(editor.Store());
    EXPECT_EQ(exif.GetNumber(kExifIfd, 37385, 0), 3);
    EXPECT_EQ(fraction(exif, kExifIfd, 37382).numerator, 4294967295);
}

TEST(ExifEditor, StoreFollowsTheRationalRules)
{
    ExifData exif;
    ExifEditorModel editor(exif, {800, 600, 0});
    ExifEditorFields& f = editor.fields();
    EXPECT_EQ(f.resolution, "72.00");
    EXPECT_EQ(f.width, "800");
    f.shutter = "1/125";
    f.aperture = "5.6";
    f.maxAperture = "";
    f.exposureCompensation = "-2/3";
    f.focalLength = "50";
    f.focalLength35mm = "75";
    f.iso = "400";
    f.focusDistance = "2.5";
    f.make = "Canon  ";
    f.lens = "Canon EF 50/1.8";
    f.copyrightEditor = "Bob";
    f.userComment = "hello";
    f.resolution = "0";
    f.resolutionUnit.selected = 1;
    ASSERT_TRUE(editor.Store());

    // An empty model starts from the default entries.
    EXPECT_NE(exif.FindEntry(kIfd0, 531), nullptr);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 40962, 0), 800);
    struct Row {
        std::uint16_t ifd, tag;
        std::int64_t numerator, denominator;
    };
    const Row rows[] = {
        {kExifIfd, 33434, 1000, 125000},
        {kExifIfd, 37377, 7210, 1035},
        {kExifIfd, 33437, 9335, 1667},
        {kExifIfd, 37380, -1000, 1500},
        {kExifIfd, 37386, 50, 1},
        {kExifIfd, 37382, 5000, 2000},
        {kIfd0, 282, 72, 1},
        {kIfd0, 283, 72, 1},
    };
    for (const Row& row : rows) {
        const ExifEntry::Fraction r = fraction(exif, row.ifd, row.tag);
        EXPECT_EQ(r.numerator, row.numerator) << row.tag;
        EXPECT_EQ(r.denominator, row.denominator) << row.tag;
    }
    EXPECT_EQ(exif.FindEntry(kExifIfd, 37381), nullptr);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 41989, 0), 75);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 34855, 0), 400);
    EXPECT_EQ(exif.GetNumber(kIfd0, 296, 0), 3);
    EXPECT_EQ(exif.FindEntry(kIfd0, 271)->value(), (Bytes{'C', 'a', 'n', 'o', 'n', 0}));
    EXPECT_EQ(exif.FindEntry(kIfd0, 33432)->value(), (Bytes{' ', 0, 'B', 'o', 'b', 0}));
    EXPECT_EQ(exif.FindEntry(kExifIfd, 37510)->value(),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', 0}));
    EXPECT_EQ(exif.GetText(kIfd0, 305, "en_US"), "Tavelune 1.6.2");
    EXPECT_EQ(exif.GetText(kExifIfd, 44992, "en_US"), "Tavelune 1.6.2");
    for (std::size_t i = 1; i < exif.entries().size(); ++i)
        EXPECT_LE(exif.entries()[i - 1]->tag(), exif.entries()[i]->tag());

    // Shutter 2 gives 2/1 and -1/1; both copyright parts join with a zero byte; an empty
    // Lens removes the tag.
    f.shutter = "2";
    f.copyrightPhotographer = "Ann";
    f.lens = "";
    ASSERT_TRUE(editor.Store());
    EXPECT_EQ(fraction(exif, kExifIfd, 33434).numerator, 2);
    EXPECT_EQ(fraction(exif, kExifIfd, 37377).numerator, -1);
    EXPECT_EQ(fraction(exif, kExifIfd, 37377).denominator, 1);
    EXPECT_EQ(exif.FindEntry(kIfd0, 33432)->value(), (Bytes{'A', 'n', 'n', 0, 'B', 'o', 'b', 0}));
    EXPECT_EQ(exif.FindEntry(kExifIfd, 44993), nullptr);
}

TEST(ExifEditor, FieldsLeftAsLoadedKeepTheCamerasEntries)
{
    ExifData exif;
    test::fillShootingModel(exif);
    // Values a field's text cannot give back exactly, and an empty comment the field drops.
    const std::uint8_t aperture[8] = {0x4D, 0x01, 0, 0, 0x64, 0, 0, 0};  // 333/100
    ASSERT_TRUE(exif.FindEntry(kExifIfd, 37378, EntryLookup::Create)->SetValueBytes(aperture, 8));
    const Bytes comment(16, 0);
    ASSERT_TRUE(exif.FindEntry(kExifIfd, 37510, EntryLookup::Create)
                    ->SetFromRaw(kExifIfd, 37510, kUndefined, 16, comment.data(), exif::kIntel));
    std::vector<std::pair<std::uint16_t, Bytes>> before;
    for (const auto& entry : exif.entries()) before.emplace_back(entry->tag(), entry->value());

    ExifEditorModel editor(exif, {}, "en_US");
    editor.fields().artist = "Ann Example";
    ASSERT_TRUE(editor.Store());
    for (const auto& [tag, value] : before) {
        if (tag == 305 || tag == 44992 || tag == 36864)
            continue;  // what every store sets
        const ExifEntry* entry = nullptr;
        for (const auto& e : exif.entries())
            if (e->tag() == tag)
                entry = e.get();
        ASSERT_NE(entry, nullptr) << tag;
        EXPECT_EQ(entry->value(), value) << tag;
    }
    EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), "Ann Example");
    EXPECT_EQ(exif.FindEntry(kExifIfd, 37381), nullptr);  // no maximum aperture made up

    // A changed field is stored with the editor's rules.
    editor.fields().aperture = "8";
    ASSERT_TRUE(editor.Store());
    EXPECT_EQ(fraction(exif, kExifIfd, 33437).numerator, 8);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 37378, 0), 6);
}

using Told = std::vector<std::pair<EditorMessage, std::string>>;

// Answers Yes and keeps what the model reports.
EditorPrompts answeringYes(Told& told)
{
    EditorPrompts prompts;
    prompts.confirm = [](EditorMessage) { return true; };
    prompts.report = [&told](EditorMessage m, const std::string& path) {
        told.emplace_back(m, path);
    };
    return prompts;
}

TEST(ExifEditor, WriteAndDeleteOutcomesAndMessages)
{
    test::TempDir dir;
    test::MessageCollector messages;
    const auto yes = [](const std::string&) { return true; };
    const auto no = [](const std::string&) { return false; };
    Told told;
    const EditorPrompts yesTold = answeringYes(told);

    ExifData fresh;  // names no file
    ExifEditorModel unnamed(fresh, {10, 10, 72});
    EXPECT_FALSE(unnamed.CanChangeFile());
    EXPECT_EQ(unnamed.Write(no), EditorOutcome::Cancelled);
    EXPECT_EQ(unnamed.Write(yesTold), EditorOutcome::StayOpen);
    ASSERT_EQ(told, (Told{{EditorMessage::SourceFileNoExist, ""}}));
    told.clear();

    // Files whose EXIF data is not changed in place: each refusal names the file.
    const std::string bmp = dir.file("a.bmp"), raw = dir.file("a.dng"), heif = dir.file("a.heic");
    ASSERT_TRUE(test::writePicture(bmp));
    Image picture;
    picture.create(24, 16, 72.0f);
    picture.fill(0xFF406080);
    ASSERT_TRUE(test::writeTestDng(raw, picture));
    ASSERT_TRUE(test::writeTestHeif(heif, picture, {}));
    const std::pair<std::string, EditorMessage> refusals[] = {
        {bmp, EditorMessage::SourceNotJpegOrTiff},
        {raw, EditorMessage::RawNeverRewritten},
        {heif, EditorMessage::ExifShownOnly},
    };
    for (const auto& [path, message] : refusals) {
        const auto before = test::readFileBytes(path);
        ExifData exif;
        (void)exif.LoadExif(path);
        ASSERT_TRUE(exif.fileStatus().HasPath()) << path;
        ExifEditorModel editor(exif, {24, 16, 72});
        EXPECT_EQ(editor.Write(yesTold), EditorOutcome::StayOpen) << path;
        EXPECT_EQ(editor.Delete(yesTold), EditorOutcome::StayOpen) << path;
        EXPECT_EQ(told, (Told{{message, exif.fileStatus().path}, {message, exif.fileStatus().path}}))
            << path;
        EXPECT_EQ(test::readFileBytes(path), before) << path;
        told.clear();
    }
    EXPECT_EQ(editorMessageText(EditorMessage::RawNeverRewritten, "/a/b.cr3"),
              "\"/a/b.cr3\" is a camera raw file: raw files are never rewritten.");
    EXPECT_EQ(editorMessageText(EditorMessage::ExifShownOnly, "/a/b.webp"),
              "\"/a/b.webp\" is kept as it is: EXIF data is changed only in JPEG and TIFF files.");

    const std::string jpeg = dir.file("a.jpg");
    ASSERT_TRUE(test::writePicture(jpeg));
    ExifData exif;
    EXPECT_FALSE(exif.LoadExif(jpeg));  // no EXIF yet, but the file is named
    ExifEditorModel editor(exif, {24, 16, 72});
    ASSERT_TRUE(editor.CanChangeFile());
    editor.fields().make = "Nikon";
    std::string asked;
    EXPECT_EQ(editor.Write([&](const std::string& q) {
        asked = q;
        return true;
    }),
              EditorOutcome::ClosedOk);
    EXPECT_EQ(asked, messages::kWriteConfirm);
    EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Nikon");  // reloaded from the file
    ExifData check;
    ASSERT_TRUE(check.LoadExif(jpeg));
    EXPECT_EQ(check.GetText(kIfd0, 271, "en_US"), "Nikon");

    // A write that fails says so with the path and keeps the dialog open.
    ::unlink(jpeg.c_str());
    ::mkdir(jpeg.c_str(), 0700);
    EXPECT_EQ(editor.Write(yesTold), EditorOutcome::StayOpen);
    ASSERT_EQ(told, (Told{{EditorMessage::WriteFailed, exif.fileStatus().path}}));
    told.clear();
    EXPECT_TRUE(messages.texts().empty());  // the core shows nothing itself
    ::rmdir(jpeg.c_str());

    ASSERT_TRUE(test::writePicture(jpeg));
    ASSERT_TRUE(check.SaveExif(jpeg));
    ExifData loaded;
    ASSERT_TRUE(loaded.LoadExif(jpeg));
    ExifEditorModel deleter(loaded, {24, 16, 72});
    EXPECT_EQ(deleter.Delete(yes), EditorOutcome::ClosedOk);
    EXPECT_TRUE(loaded.IsEmpty());

    // Reset discards what was typed.
    ExifData model;
    test::fillShootingModel(model);
    ExifEditorModel reset(model, {1, 1, 72});
    reset.fields().make = "typed";
    reset.Reset();
    EXPECT_EQ(reset.fields().make, "Canon");
    reset.fields().resolution = "0";
    reset.LeaveResolution();
    EXPECT_EQ(reset.fields().resolution, "72.00");
}

TEST(ExifEditor, PickerTimeKeepsDatesNoCalendarHas)
{
    const struct {
        const char* text;
        bool read;
    } cases[] = {
        {"2024:02:29 23:59:59", true},  {"2023:02:29 12:00:00", false},
        {"2000:02:29 12:00:00", true},  {"1900:02:29 12:00:00", false},
        {"2024:04:31 12:00:00", false}, {"2024:12:31 12:00:00", true},
        {"2024:05:01 24:00:00", false}, {"2024:05:01 12:60:00", false},
        {"2024:05:01 12:00:60", false}, {"2038:12:31 00:00:00", true},
        {"2039:01:01 00:00:00", false}, {"1602:01:01 00:00:00", true},
        {"2024:05:01 12:00:0", false},  // 18 characters
    };
    for (const auto& c : cases) {
        PickerTime time{1999, 9, 9, 9, 9, 9};
        EXPECT_EQ(readPickerTime(c.text, time), c.read) << c.text;
        if (!c.read) {
            EXPECT_EQ(exifTimeText(time), "1999:09:09 09:09:09") << c.text;
        }
    }
}

TEST(ExifEditor, OkStoresOnlyWhatWasChangedInAFilledModel)
{
    ExifData exif;
    test::fillShootingModel(exif);
    setShortValue(exif.FindEntry(kExifIfd, 37385, EntryLookup::Create), 3);
    // 10/600 reads back as 1/60; storing the untouched field would rewrite its bytes.
    setTypedBytes(exif.FindEntry(kExifIfd, 33434, EntryLookup::Create), kRational,
                  Bytes{10, 0, 0, 0, 88, 2, 0, 0}.data(), 8);
    ExifEditorModel editor(exif, {640, 480, 96}, "en_US");
    EXPECT_TRUE(editor.ChangedFields().none());
    EXPECT_EQ(editor.fields().shutter, "1/60");
    const Bytes exposureBefore = exif.FindEntry(kExifIfd, 33434)->value();

    editor.fields().iso = "800";
    editor.fields().lens.clear();
    const EditorFieldSet changed = editor.ChangedFields();
    EXPECT_EQ(changed.count(), 2u);
    EXPECT_TRUE(changed.test(static_cast<std::size_t>(EditorField::Iso)));
    EXPECT_TRUE(changed.test(static_cast<std::size_t>(EditorField::Lens)));
    EXPECT_EQ(editor.Ok(), EditorOutcome::ClosedOk);

    EXPECT_EQ(exif.GetNumber(kExifIfd, 34855, 0), 800);
    EXPECT_EQ(exif.FindEntry(kExifIfd, 44993), nullptr);
    EXPECT_EQ(exif.FindEntry(kExifIfd, 33434)->value(), exposureBefore);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 37385, 0), 3);
    // Tags the file never had are not invented from the fields' defaults.
    for (std::uint16_t tag : {37382, 37384, 41986, 41987, 37377, 37378})
        EXPECT_EQ(exif.FindEntry(kExifIfd, tag), nullptr) << tag;
    EXPECT_EQ(exif.GetText(kExifIfd, 36864, "en_US"), "0221");

    // Without entries the default set is made with the picture's size; of the fields only
    // what the user gave goes in, never a default reading or the time the editor opened.
    ExifData empty;
    ExifEditorModel fresh(empty, {800, 600, 0});
    EXPECT_EQ(fresh.FieldsToStore().count(), kEditorFieldCount);
    fresh.fields().iso = "200";
    fresh.fields().focalLength = " ";
    fresh.Ok();
    EXPECT_EQ(empty.GetNumber(kExifIfd, 40962, 0), 800);
    EXPECT_EQ(empty.GetNumber(kExifIfd, 34855, 0), 200);
    EXPECT_EQ(empty.GetNumber(kIfd0, 282, 0), 72);
    for (std::uint16_t tag : {33434, 33437, 37386, 37382, 37385, 37383, 36867, 36868, 41987})
        EXPECT_EQ(empty.FindEntry(kExifIfd, tag), nullptr) << tag;
}

TEST(ExifEditor, PictureResolutionAfterOk)
{
    const struct {
        double x;
        int unit;  // 0: no ResolutionUnit entry
        double dpi;
    } cases[] = {{300, 2, 300}, {300, 0, 300}, {100, 3, 254}, {0, 2, 0}, {72, 1, 72}};
    for (const auto& c : cases) {
        ExifData exif;
        if (c.x > 0)
            setRationalValue(exif.FindEntry(kIfd0, 282, EntryLookup::Create), c.x);
        if (c.unit != 0)
            setShortValue(exif.FindEntry(kIfd0, 296, EntryLookup::Create),
                          static_cast<std::uint16_t>(c.unit));
        EXPECT_NEAR(editedPictureResolution(exif), c.dpi, 1e-9) << c.x << " " << c.unit;
    }
}

TEST(ExifEditor, PromptsReceiveMessagesByKind)
{
    test::TempDir dir;
    test::MessageCollector sink;
    std::vector<EditorMessage> asked;
    std::vector<std::pair<EditorMessage, std::string>> told;
    EditorPrompts prompts;
    prompts.confirm = [&](EditorMessage m) {
        asked.push_back(m);
        return true;
    };
    prompts.report = [&](EditorMessage m, const std::string& path) { told.emplace_back(m, path); };

    const std::string bmp = dir.file("a.bmp");
    ASSERT_TRUE(test::writePicture(bmp));
    ExifData exif;
    (void)exif.LoadExif(bmp);
    ExifEditorModel editor(exif, {24, 16, 72});
    EXPECT_EQ(editor.Write(prompts), EditorOutcome::StayOpen);
    EXPECT_EQ(editor.Delete(prompts), EditorOutcome::StayOpen);
    EXPECT_EQ(asked, (std::vector<EditorMessage>{EditorMessage::WriteConfirm,
                                                 EditorMessage::DeleteConfirm}));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].first, EditorMessage::SourceNotJpegOrTiff);
    EXPECT_TRUE(sink.texts().empty());  // nothing went past the front end

    EXPECT_EQ(editorMessageText(EditorMessage::WriteFailed, "/a/b.jpg"),
              "Write Exif V2.21 to \"/a/b.jpg\" fail.");
    EXPECT_EQ(editorMessageText(EditorMessage::DeleteFailed, "/a/%s.jpg"),
              "Delete Exif info from \"/a/%s.jpg\" fail.");
    EXPECT_EQ(editorMessageIcon(EditorMessage::SourceFileNoExist), MessageIcon::Error);
}

TEST(ExifEditor, WriteAndDeleteLeaveWriteProtectedFilesAlone)
{
    test::TempDir dir;
    test::MessageCollector messages;
    Told told;
    const EditorPrompts yes = answeringYes(told);
    for (const bool write : {true, false}) {
        const std::string jpeg = dir.file(write ? "w.jpg" : "d.jpg");
        ASSERT_TRUE(test::writePicture(jpeg));
        ExifData shooting;
        test::fillShootingModel(shooting);
        ASSERT_TRUE(shooting.SaveExif(jpeg));
        ::chmod(jpeg.c_str(), 0444);
        const Bytes before = test::readFileBytes(jpeg);
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(jpeg));
        ExifEditorModel editor(exif, {24, 16, 72});
        editor.fields().iso = "800";
        EXPECT_EQ(write ? editor.Write(yes) : editor.Delete(yes), EditorOutcome::StayOpen);
        EXPECT_EQ(test::readFileBytes(jpeg), before);
        EXPECT_EQ(test::fileMode(jpeg), 0444u);
        ASSERT_EQ(told, (Told{{write ? EditorMessage::WriteFailed : EditorMessage::DeleteFailed,
                               exif.fileStatus().path}}));
        told.clear();
    }
}

TEST(EquipmentCatalogue, CombosFillFromTheTables)
{
    EXPECT_STREQ(cameraMakers().front(), "Arca");
    EXPECT_STREQ(cameraMakers().back(), "Yashica");
    EXPECT_EQ(cameraMakers().size(), 37u);
    EXPECT_EQ(equipmentItems(EquipmentTable::Lenses).front(), "Arca Swiss F 6x9");
    EXPECT_EQ(equipmentItems(EquipmentTable::Scanners).back(), "Polariod Sprintscan 4000");
    EXPECT_EQ(equipmentRows(EquipmentTable::Scanners).size(), 17u);
    // Rows are grouped by brand in the makers' order.
    for (EquipmentTable table :
         {EquipmentTable::CameraModels, EquipmentTable::Lenses, EquipmentTable::Filters,
          EquipmentTable::Films, EquipmentTable::FlashUnits, EquipmentTable::Scanners}) {
        const auto rows = equipmentRows(table);
        ASSERT_FALSE(rows.empty());
        for (std::size_t i = 1; i < rows.size(); ++i)
            EXPECT_LE(strcasecmp(rows[i - 1].brand, rows[i].brand), 0) << rows[i].model;
    }
    const std::vector<std::string> canon = cameraModelItems("Canon");
    EXPECT_EQ(cameraModelItems("  can "), canon);
    EXPECT_EQ(canon.size(), 116u);
    for (const std::string& item : canon) EXPECT_EQ(item.rfind("Canon ", 0), 0u);
    for (const std::string& item : cameraModelItems("Canon E"))
        EXPECT_EQ(item.rfind("Canon E", 0), 0u);
    EXPECT_LT(cameraModelItems("Canon E").size(), canon.size());
    EXPECT_EQ(cameraModelItems("").size(), equipmentRows(EquipmentTable::CameraModels).size());

    ComboState lens;
    focusEquipmentCombo(lens, EquipmentTable::Lenses);
    focusEquipmentCombo(lens, EquipmentTable::Lenses);
    EXPECT_EQ(lens.items.size(), equipmentRows(EquipmentTable::Lenses).size());
    chooseComboItem(lens, 0);
    EXPECT_EQ(lens.text, "Arca Swiss F 6x9");
    ComboState model;
    model.text = "typed";
    focusModelCombo(model, "Nikon");
    focusModelCombo(model, "Yashica");
    EXPECT_EQ(model.text, "typed");
    EXPECT_EQ(model.selected, -1);
    EXPECT_EQ(model.items.back(), "Yashica Zoomate 140");
}

}  // namespace
}  // namespace tavelune

namespace tavelune {
namespace {

std::vector<std::pair<std::string, int>> brandCounts(EquipmentTable table)
{
    std::vector<std::pair<std::string, int>> counts;
    for (const EquipmentRow& row : equipmentRows(table)) {
        if (counts.empty() || counts.back().first != row.brand)
            counts.emplace_back(row.brand, 0);
        ++counts.back().second;
    }
    return counts;
}

int kindCount(EquipmentTable table, const char* kind)
{
    int n = 0;
    for (const EquipmentRow& row : equipmentRows(table)) n += std::string(row.kind) == kind;
    return n;
}

TEST(EquipmentCatalogue, CompleteTablesHaveTheirBrandsAndClasses)
{
    using Counts = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(brandCounts(EquipmentTable::Films), (Counts{{"Agfa", 16},
                                                          {"Ferrania", 5},
                                                          {"Fujifilm", 31},
                                                          {"Kodak", 47},
                                                          {"Konica", 11},
                                                          {"Polaroid", 3}}));
    EXPECT_EQ(kindCount(EquipmentTable::Films, "反转片"), 42);
    EXPECT_EQ(kindCount(EquipmentTable::Films, "负片"), 57);
    EXPECT_EQ(kindCount(EquipmentTable::Films, "B/W"), 14);
    EXPECT_EQ(brandCounts(EquipmentTable::FlashUnits), (Counts{{"Canon", 13},
                                                               {"Contax", 5},
                                                               {"Hasselblad", 2},
                                                               {"Minolta", 13},
                                                               {"Nikon", 21},
                                                               {"Olympus", 8},
                                                               {"Pentax", 10},
                                                               {"Ricoh", 3},
                                                               {"Sigma", 4},
                                                               {"Yashica", 4},
                                                               {"Yinyan", 2}}));
    EXPECT_EQ(
        brandCounts(EquipmentTable::Scanners),
        (Counts{{"Canon", 2}, {"Microtek", 5}, {"Minolta", 5}, {"Nikon", 4}, {"Polariod", 1}}));
    EXPECT_EQ(kindCount(EquipmentTable::Scanners, "T"), 17);
    const std::vector<std::string> films = equipmentItems(EquipmentTable::Films);
    for (const char* item : {"Agfa Agfachrome CT-precisa 100", "Agfa Agfacolor Vista 100",
                             "Fujifilm Fujichrome Velvia Prof.", "Kodak Ektachrome E100VS Prof."})
        EXPECT_NE(std::find(films.begin(), films.end(), item), films.end()) << item;
    const std::vector<std::string> flash = equipmentItems(EquipmentTable::FlashUnits);
    for (const char* item : {"Canon Macro Lite MT-24EX", "Minolta Program 5400HS"})
        EXPECT_NE(std::find(flash.begin(), flash.end(), item), flash.end()) << item;
}

TEST(EquipmentCatalogue, CameraLensAndFilterTablesHaveTheirBrandsAndClasses)
{
    using Counts = std::vector<std::pair<std::string, int>>;
    Counts makers;
    for (const char* maker : cameraMakers()) makers.emplace_back(maker, 0);
    const int perMaker[] = {1,  5,  116, 13,  2,  26, 8,  4, 74, 18, 2,  5, 3,  3, 23, 32, 5, 28, 3,
                            18, 94, 3,   106, 95, 7,  93, 2, 36, 19, 35, 5, 11, 7, 50, 14, 5, 28};
    ASSERT_EQ(makers.size(), std::size(perMaker));
    for (std::size_t i = 0; i < makers.size(); ++i) makers[i].second = perMaker[i];
    EXPECT_EQ(brandCounts(EquipmentTable::CameraModels), makers);
    for (const auto& [kind, rows] :
         Counts{{"SLR", 354}, {"DC", 341}, {"FC", 214}, {"120", 75}, {"DSLR", 15}})
        EXPECT_EQ(kindCount(EquipmentTable::CameraModels, kind.c_str()), rows) << kind;

    // Wistar, Yamazaki and Cokin hold only the products that could be named for certain.
    EXPECT_EQ(brandCounts(EquipmentTable::Lenses),
              (Counts{{"Arca", 1},         {"Bronica", 20},        {"Canon", 258},
                      {"Carl Zeiss", 1},   {"Carl Zeiss Jena", 5}, {"Contax", 58},
                      {"Cosina", 15},      {"Fujifilm", 37},       {"Fujinon", 54},
                      {"Hasselblad", 35},  {"Horseman", 2},        {"Kiev", 3},
                      {"Kiev Arsenal", 9}, {"Konica", 11},         {"Leica", 51},
                      {"Linhof", 3},       {"Mamiya", 76},         {"Minolta", 155},
                      {"Nikkor", 255},     {"Olympus", 51},        {"Pentax", 100},
                      {"Rodenstock", 37},  {"Rollei", 26},         {"Schneider", 50},
                      {"Seagull", 1},      {"Sigma", 49},          {"Sinar", 33},
                      {"Tamron", 47},      {"Tokina", 50},         {"Topcon", 2},
                      {"Vivitar", 28},     {"Wistar", 1},          {"Yamazaki", 13},
                      {"Yashica", 3}}));
    for (const auto& [kind, rows] : Counts{{"35MFFix", 540},
                                           {"120MFU", 234},
                                           {"35AFZoom", 240},
                                           {"645MFU", 202},
                                           {"35AFFix", 166},
                                           {"35MFZoom", 158}})
        EXPECT_EQ(kindCount(EquipmentTable::Lenses, kind.c_str()), rows) << kind;
    EXPECT_EQ(brandCounts(EquipmentTable::Filters),
              (Counts{{"B+W", 58}, {"Cokin", 78}, {"Hoya", 53}, {"Tiffen", 75}}));
    EXPECT_EQ(kindCount(EquipmentTable::Filters, ""), 264);

    struct Telling {
        EquipmentTable table;
        const char* brand;
        const char* model;
        const char* kind;
    };
    for (const Telling& row :
         {Telling{EquipmentTable::CameraModels, "Arca", "Swiss F 6x9", "120"},
          Telling{EquipmentTable::CameraModels, "Bronica", "ETR-Si", "120"},
          Telling{EquipmentTable::CameraModels, "Yashica", "Zoomate 140", "FC"},
          Telling{EquipmentTable::Lenses, "Bronica", "PE 100-220/4.8 Aspherica", "120MFU"},
          Telling{EquipmentTable::Lenses, "Canon", "AC 50/1.8", "35MFFix"},
          Telling{EquipmentTable::Lenses, "Nikkor", "85mm f/2.8 PC Micro", "35MFFix"},
          Telling{EquipmentTable::Lenses, "Leica", "M-135/2.8 Elmarit", "35MFFix"},
          Telling{EquipmentTable::Lenses, "Tamron", "SP AF90/2.8 Macro", "35AFFix"},
          Telling{EquipmentTable::Filters, "B+W", "021 light yellow", ""},
          Telling{EquipmentTable::Filters, "Cokin", "003 Red", ""}}) {
        const auto rows = equipmentRows(row.table);
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const EquipmentRow& r) {
            return std::string(r.brand) == row.brand && std::string(r.model) == row.model;
        });
        ASSERT_NE(found, rows.end()) << row.brand << " " << row.model;
        EXPECT_STREQ(found->kind, row.kind) << row.model;
    }
    // A picked item must be found again: no table lists the same text twice.
    for (EquipmentTable table :
         {EquipmentTable::CameraModels, EquipmentTable::Lenses, EquipmentTable::Filters}) {
        std::vector<std::string> items = equipmentItems(table);
        std::sort(items.begin(), items.end());
        EXPECT_EQ(std::adjacent_find(items.begin(), items.end()), items.end());
    }
}

}  // namespace
}  // namespace tavelune
