// The editor's field table: each row names a real entry, the CLI names are unambiguous, and
// the rule texts users read are made from the rules the fields enforce.
#include "exif/editor_fields.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <set>
#include <string>

#include "exif/exif_entry.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

TEST(EditorFields, RuleTextsAsTheCliPrintsThem)
{
    const struct {
        EditorField field;
        const char* text;
    } cases[] = {
        {EditorField::Shutter,
         "digits with one '.' or '/', at most 9 characters, 4 after the separator"},
        {EditorField::Aperture, "digits with one '.', at most 5 characters, 2 decimals"},
        {EditorField::MaxAperture, "digits with one '.', at most 5 characters, 2 decimals"},
        {EditorField::ExposureCompensation,
         "an optional leading '-', digits with one '.' or '/', at most 6 characters, 2 after "
         "the separator"},
        {EditorField::Iso, "whole number of at most 4 digits"},
        {EditorField::FocalLength, "digits with one '.', at most 7 characters, 2 decimals"},
        {EditorField::FocalLength35mm, "whole number of at most 5 digits"},
        {EditorField::FocusDistance,
         "digits with one '.', at most 9 characters, 4 decimals, or inf"},
        {EditorField::Width, "whole number of at most 5 digits"},
        {EditorField::Height, "whole number of at most 5 digits"},
        {EditorField::Resolution, "digits with one '.', at most 9 characters, 3 decimals"},
        {EditorField::Make, "at most 128 characters"},
        {EditorField::CopyrightEditor, "at most 128 characters"},
        {EditorField::UserComment, "at most 10240 characters"},
    };
    for (const auto& c : cases) EXPECT_EQ(fieldRuleText(c.field), c.text) << c.text;
}

// The text a rule describes is what the field takes: its full length and decimals pass, one
// more of either is refused.
TEST(EditorFields, EveryNumberRuleTakesWhatItsTextPromises)
{
    for (const EditorFieldRow& row : editorFieldRows()) {
        const NumberRule& rule = row.rule;
        if (rule.maxLength == 0)
            continue;
        const std::string longest(rule.maxLength, '7');
        EXPECT_TRUE(acceptsFieldText(row.field, longest)) << row.cliNames[0];
        EXPECT_FALSE(acceptsFieldText(row.field, longest + "7")) << row.cliNames[0];
        if (rule.decimals > 0) {
            const std::string decimals = "1." + std::string(rule.decimals, '5');
            EXPECT_TRUE(acceptsFieldText(row.field, decimals)) << row.cliNames[0];
            EXPECT_FALSE(acceptsFieldText(row.field, decimals + "5")) << row.cliNames[0];
            EXPECT_EQ(acceptsFieldText(row.field, "1/2"), rule.fraction) << row.cliNames[0];
        } else {
            EXPECT_FALSE(acceptsFieldText(row.field, "1.5")) << row.cliNames[0];
        }
        EXPECT_EQ(acceptsFieldText(row.field, "-1"), rule.negative) << row.cliNames[0];
    }
}

TEST(EditorFields, RowsNameCatalogueEntriesAndDistinctCliNames)
{
    std::set<std::string> names;
    for (const EditorFieldRow& row : editorFieldRows()) {
        EXPECT_NE(findTagInfo(row.entry.ifd, row.entry.tag), nullptr) << row.cliNames[0];
        if (row.also.tag != 0) {
            EXPECT_NE(findTagInfo(row.also.ifd, row.also.tag), nullptr) << row.cliNames[0];
        }
        for (const char* name : row.cliNames) {
            if (name == nullptr)
                continue;
            std::string lower(name);
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(names.insert(lower).second) << name << " names two fields";
        }
    }
    // The first CLI name of a field that edits one entry of its own is the catalogue's name.
    EXPECT_STREQ(editorFieldRow(EditorField::Iso).cliNames[0],
                 tagName(kExifIfd, kTagISOSpeedRatings, "en_US").c_str());
    EXPECT_STREQ(editorFieldRow(EditorField::Lens).cliNames[0],
                 tagName(kExifIfd, kTagLens, "en_US").c_str());
}

}  // namespace
}  // namespace tavelune
