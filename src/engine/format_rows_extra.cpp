// The program adds no rows to the format table; a test program replaces this file's function.
#include "engine/format_table.h"

namespace tavelune {

std::span<const FormatRow> extraFormatRows()
{
    return {};
}

}  // namespace tavelune
