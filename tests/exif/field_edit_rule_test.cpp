// One change to a typed editor field: deletions stand, everything else obeys the rule.
#include "exif/field_edit_rule.h"

#include <gtest/gtest.h>

namespace tavelune {
namespace {

TEST(FieldEditRule, OnlyPureDeletionsEscapeTheRule)
{
    const struct {
        EditorField field;
        const char* before;
        const char* after;
        bool stands;
    } cases[] = {
        {EditorField::Shutter, "1/250", "x", false},  // a letter over the whole text
        {EditorField::Aperture, "5.6", "f", false},
        {EditorField::Iso, "400", "z", false},
        {EditorField::Iso, "400", "4z0", false},  // over the middle character
        {EditorField::Iso, "400", "40", true},
        {EditorField::Iso, "400", "5", true},
        {EditorField::Shutter, "1/250", "1/2", true},
        {EditorField::Shutter, "1/250", "", true},
        {EditorField::FocusDistance, "Infinity", "Infity", true},  // a cut from a list name
        {EditorField::FocusDistance, "Infinity", "Infinit", true},
        {EditorField::FocusDistance, "Infinity", "Infinity", true},
        {EditorField::FocusDistance, "Infinity", "Infinitz", false},
        {EditorField::FocusDistance, "Infinity", "nfinitya", false},
        {EditorField::FocusDistance, "Infinity", "Iinity", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(acceptsFieldEdit(c.field, c.before, c.after), c.stands)
            << c.before << " -> " << c.after;

    const std::string full(128, 'a');
    std::string longer = full;
    longer.replace(3, 1, "bc");
    EXPECT_FALSE(acceptsFieldEdit(EditorField::Artist, full, longer));
    EXPECT_TRUE(acceptsFieldEdit(EditorField::Artist, full + "a", full));
}

}  // namespace
}  // namespace tavelune
