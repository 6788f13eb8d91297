// The proposed save name of a sheet: a title never leads the file out of the chosen folder.
#include "indexprint/sheet_file_name.h"

#include <gtest/gtest.h>

namespace tavelune {
namespace {

TEST(SheetFileName, TitleBecomesASafeNameInTheChosenFolder)
{
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"INDEX PRINT", "INDEX PRINT"},
        {"  Summer 2024  ", "Summer 2024"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"a\\b", "a_b"},
        {"line\none\ttab", "line_one_tab"},
        {"旅行 / 海边", "旅行 _ 海边"},
        {"", ""},
        {"   ", ""},
        {".", ""},
        {" .. ", ""},
        {"...", "..."},
    };
    for (const auto& c : cases) EXPECT_EQ(sheetFileName(c.title), c.name) << '"' << c.title << '"';
}

}  // namespace
}  // namespace tavelune
