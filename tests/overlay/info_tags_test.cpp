// Information tags: expansion rules, tag values from the picture and its EXIF data, the menu.
#include "overlay/info_tags.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

class InfoTags : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_savedTz = tz ? tz : "";
        m_hadTz = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
        m_context.userName = "Ada";
        m_context.now = std::time_t(1796688000 + 3723);  // 2026-12-08 01:02:03 UTC
    }
    void TearDown() override
    {
        if (m_hadTz)
            setenv("TZ", m_savedTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string expand(const std::string& text, const Image* image = nullptr,
                       const ExifData* exif = nullptr)
    {
        return expandTags(text, image, exif, m_context);
    }

    TagContext m_context;
    std::string m_savedTz;
    bool m_hadTz = false;
};

TEST_F(InfoTags, ExpansionRules)
{
    const std::string longName(126, 'N');
    const std::string tooLong(127, 'N');
    struct Row {
        std::string text;
        std::string expanded;
    };
    const Row rows[] = {
        {"Shot <ShotDate/> at <Aperture/>, ok", "Shot  at , ok"},
        {"<CurrentDate/> and <CurrentDate/>", "2026-12-08 and 2026-12-08"},
        {"<CurrentTime/>", "01:02:03"},
        {"by <UserName/>", "by Ada"},
        {"a < b", "a < b"},
        {"<", "<"},
        {"<UserName>", "<UserName>"},
        {"<Nothing/>x", "x"},
        {"</>", ""},
        {"a<b<UserName/>", "a<bAda"},
        {"<" + longName + "/>", ""},
        {"<" + tooLong + "/>", "<" + tooLong + "/>"},
        {"<ImageSize/>", ""},
        {"<Filename/><StampDate/><Make/>", ""},
        {"<username/>", ""},  // names are case-sensitive
    };
    for (const Row& row : rows) EXPECT_EQ(expand(row.text), row.expanded) << row.text;
}

TEST_F(InfoTags, ValuesAreNeverExpandedAgain)
{
    struct Row {
        std::string userName;
        std::string text;
        std::string expanded;
    };
    const Row rows[] = {
        {"<CurrentTime/>", "<UserName/>", "<CurrentTime/>"},
        {"<CurrentTime/>", "<UserName/> <CurrentTime/>", "<CurrentTime/> 01:02:03"},
        {"<UserName/>", "<UserName/>, <UserName/>", "<UserName/>, <UserName/>"},
        // A value does not join the text around it into a new tag.
        {"<", "<UserName/>CurrentTime/> <CurrentTime/>", "<CurrentTime/> 01:02:03"},
        {"", "<Curr<UserName/>entTime/><CurrentTime/>", "<CurrentTime/>01:02:03"},
        {"Time/>", "<Current<UserName/>", "<CurrentTime/>"},
    };
    for (const Row& row : rows) {
        m_context.userName = row.userName;
        EXPECT_EQ(expand(row.text), row.expanded) << row.userName << " in " << row.text;
    }
}

TEST_F(InfoTags, RepeatedTagsInAValueCostTheirLength)
{
    std::string artist;
    for (int i = 0; i < 1000; ++i) artist += "<Artist/>";
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(test::samplePath("coffee-exif.jpg")));
    ExifEntry* entry = exif.FindEntry(kIfd0, 315, EntryLookup::Create);
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->SetValueBytes(reinterpret_cast<const uint8_t*>(artist.c_str()),
                                     uint32_t(artist.size() + 1)));
    ASSERT_EQ(exif.GetText(kIfd0, 315, "en_US"), artist);

    bool cut = true;
    const std::string expanded =
        expandTags("by <Artist/> (<Artist/>, <Artist/>)", nullptr, &exif, m_context, &cut);
    EXPECT_EQ(expanded, "by " + artist + " (" + artist + ", " + artist + ")");
    EXPECT_FALSE(cut);

    m_context.userName = "<UserName/>";
    EXPECT_EQ(expand("<UserName/><UserName/><UserName/>"), "<UserName/><UserName/><UserName/>");
}

TEST_F(InfoTags, ExpansionStopsAtTheLimitOnACharacterBoundary)
{
    struct Row {
        std::string userName;
        std::string text;
        size_t length;
        bool cut;
    };
    const std::string tenK(10 * 1024, 'x');
    const Row rows[] = {
        {tenK, "<UserName/><UserName/><UserName/>", 3 * tenK.size(), false},
        {std::string(kMaxExpandedTagText, 'x'), "<UserName/>", kMaxExpandedTagText, false},
        {std::string(kMaxExpandedTagText, 'x'), "<UserName/>!", kMaxExpandedTagText, true},
        {tenK, std::string(7, '.') + "<UserName/><UserName/><UserName/><UserName/><UserName/>"
                                     "<UserName/><UserName/>",
         kMaxExpandedTagText, true},
        // "é" is two bytes: after one "a" the last whole one ends a byte before the limit.
        {[] {
             std::string accents;
             for (int i = 0; i < 40000; ++i) accents += "\xC3\xA9";
             return accents;
         }(),
         "a<UserName/>", kMaxExpandedTagText - 1, true},
        {"", std::string(kMaxExpandedTagText + 5, 'y'), kMaxExpandedTagText, true},
    };
    for (const Row& row : rows) {
        m_context.userName = row.userName;
        bool cut = !row.cut;
        const std::string expanded = expandTags(row.text, nullptr, nullptr, m_context, &cut);
        EXPECT_EQ(expanded.size(), row.length) << row.text.substr(0, 20);
        EXPECT_EQ(cut, row.cut) << row.text.substr(0, 20);
        std::string whole = row.text;
        for (size_t at = whole.find("<UserName/>"); at != std::string::npos;
             at = whole.find("<UserName/>", at + row.userName.size()))
            whole.replace(at, 11, row.userName);
        EXPECT_EQ(whole.compare(0, expanded.size(), expanded), 0) << "a prefix of the whole text";
    }
}

TEST_F(InfoTags, ImageSizeIsTheFramedPictureSize)
{
    Image picture;
    ASSERT_TRUE(picture.create(3000, 2000, 72.0f));
    EXPECT_EQ(expand("<ImageSize/>", &picture), "3000 x 2000");
    Image empty;
    EXPECT_EQ(expand("<ImageSize/>", &empty), "");
}

TEST_F(InfoTags, FileTagsComeFromTheFileStatus)
{
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(test::samplePath("coffee-exif.jpg")));
    EXPECT_EQ(tagValue("Filename", nullptr, &exif, m_context), "coffee-exif.jpg");
    char expected[16];
    std::tm local{};
    std::time_t modified = exif.fileStatus().info.st_mtime;
    gmtime_r(&modified, &local);
    std::strftime(expected, sizeof expected, "%Y-%m-%d", &local);
    EXPECT_EQ(tagValue("StampDate", nullptr, &exif, m_context), expected);

    ExifData noFile;
    EXPECT_EQ(tagValue("Filename", nullptr, &noFile, m_context), "");
    EXPECT_EQ(tagValue("StampDate", nullptr, &noFile, m_context), "");
}

TEST_F(InfoTags, ShootingTagsUseEnglishAndCatalogueTagsTheInterfaceLanguage)
{
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(test::samplePath("coffee-exif.jpg")));
    m_context.language = "zh_CN";
    const std::string english = exif.GetText(kExifIfd, 33434, "en_US");
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(tagValue("Shutter", nullptr, &exif, m_context), english);
    EXPECT_EQ(tagValue("Aperture", nullptr, &exif, m_context),
              exif.GetText(kExifIfd, 33437, "en_US"));
    EXPECT_EQ(tagValue("ShotDate", nullptr, &exif, m_context), "2024:05:01");

    const std::string program = tagValue("ExposureProgram", nullptr, &exif, m_context);
    EXPECT_EQ(program, exif.GetText(kExifIfd, 34850, "zh_CN"));
    EXPECT_NE(program, exif.GetText(kExifIfd, 34850, "en_US"));
    EXPECT_EQ(tagValue("Make", nullptr, &exif, m_context), "Canon");
    EXPECT_EQ(expand("<Model/> <Artist/>", nullptr, &exif), "Canon EOS 5D Sample Photographer");
    EXPECT_EQ(tagValue("YCbCrPositioning", nullptr, &exif, m_context), "")
        << "rows without the information-tag flag are not tags";

    // Without ExposureTime and FNumber the APEX values stand in.
    ASSERT_TRUE(exif.FindEntry(kExifIfd, 37377, EntryLookup::Create));
    ASSERT_TRUE(exif.FindEntry(kExifIfd, 37378, EntryLookup::Create));
    ASSERT_TRUE(exif.RemoveEntry(kExifIfd, 33434));
    ASSERT_TRUE(exif.RemoveEntry(kExifIfd, 33437));
    EXPECT_EQ(tagValue("Shutter", nullptr, &exif, m_context),
              exif.GetText(kExifIfd, 37377, "en_US"));
    EXPECT_EQ(tagValue("Aperture", nullptr, &exif, m_context),
              exif.GetText(kExifIfd, 37378, "en_US"));

    ExifData empty;
    EXPECT_EQ(tagValue("Shutter", nullptr, &empty, m_context), "");
    EXPECT_EQ(tagValue("Make", nullptr, &empty, m_context), "");
}

TEST(InfoTagMenu, EntriesInOrderWithTheMoreSubMenuLast)
{
    using Kind = TagMenuEntry::Kind;
    const std::vector<TagMenuEntry> menu = tagMenu("zh_CN");
    const int expected[] = {1, 2,     3,     -1,    4,     5,     6, -1,  271,   272, 7,
                            8, 37380, 37386, 34855, 37383, 34850, 9, 315, 33432, 270, -1};
    ASSERT_EQ(menu.size(), std::size(expected) + 1);
    for (size_t i = 0; i < std::size(expected); ++i) {
        if (expected[i] < 0) {
            EXPECT_EQ(menu[i].kind, Kind::Separator) << i;
        } else {
            EXPECT_EQ(menu[i].kind, Kind::Command) << i;
            EXPECT_EQ(menu[i].command, expected[i]) << i;
            EXPECT_FALSE(menu[i].text.empty()) << i;
        }
    }
    EXPECT_EQ(menu[0].text, "用户名");
    EXPECT_EQ(menu[0].stringId, 57406);
    EXPECT_EQ(menu[6].text, "时间戳(日期)");
    EXPECT_EQ(menu[6].stringId, 57415);
    EXPECT_EQ(menu[6].detailStringId, 57407) << "shown as 时间戳(日期) in every language";
    EXPECT_EQ(menu[5].detailStringId, 0);
    EXPECT_EQ(menu[8].text, "制造商");

    const TagMenuEntry& more = menu.back();
    EXPECT_EQ(more.kind, Kind::SubMenu);
    EXPECT_EQ(more.text, "更多...");
    int separators = 0;
    for (const TagMenuEntry& entry : more.children) separators += entry.kind == Kind::Separator;
    EXPECT_EQ(separators, 1) << "one separator between the IFD0 and the Exif rows";
    ASSERT_FALSE(more.children.empty());
    EXPECT_EQ(more.children.front().command, 256);
    EXPECT_EQ(more.children.front().text, "图像宽度");
    EXPECT_EQ(tagMenu("en_US").back().children.front().text, "ImageWidth");
    EXPECT_EQ(tagMenu("fr_FR").back().children.front().text, "ImageWidth");
}

TEST(InfoTagMenu, CommandsInsertTagTexts)
{
    EXPECT_EQ(tagTextForCommand(1), "<UserName/>");
    EXPECT_EQ(tagTextForCommand(6), "<StampDate/>");
    EXPECT_EQ(tagTextForCommand(9), "<ShotDate/>");
    EXPECT_EQ(tagTextForCommand(33432), "<Copyright/>");
    EXPECT_EQ(tagTextForCommand(41989), "<FocalLengthIn35mmFilm/>");
    EXPECT_EQ(tagTextForCommand(37380), "<ExposureBiasValue/>");
    EXPECT_EQ(tagTextForCommand(12345), "");
    EXPECT_EQ(tagTextForCommand(-3), "");
    // Every sub-menu command inserts a tag that expands back through the catalogue.
    const std::vector<TagMenuEntry> menu = tagMenu("en_US");
    for (const TagMenuEntry& entry : menu.back().children) {
        if (entry.kind == TagMenuEntry::Kind::Command) {
            EXPECT_EQ(tagTextForCommand(entry.command), "<" + entry.text + "/>") << entry.command;
        }
    }
}

}  // namespace
}  // namespace tavelune
