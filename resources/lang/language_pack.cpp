// A language pack: one column of the string table in a shared object the program dlopens.
#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

struct Row {
    int id;
    const char* text;
};

#if defined(TAVELUNE_PACK_zh_TW)
#define TAVELUNE_TEXT(name, id, zhCN, zhTW, enUS) {id, zhTW},
constexpr const char* kCode = "zh_TW";
#elif defined(TAVELUNE_PACK_en_US)
#define TAVELUNE_TEXT(name, id, zhCN, zhTW, enUS) {id, enUS},
constexpr const char* kCode = "en_US";
#else
#error "Define the pack's language"
#endif

Row rows[] = {
#include "strings/all.inc"
};
#undef TAVELUNE_TEXT

bool sortRows()
{
    std::sort(std::begin(rows), std::end(rows), [](const Row& a, const Row& b) { return a.id < b.id; });
    return true;
}
const bool sorted = sortRows();

}  // namespace

extern "C" __attribute__((visibility("default"))) const char* GetLangCode()
{
    return kCode;
}

/// The pack's text for a string number, or null when it has none.
extern "C" __attribute__((visibility("default"))) const char* GetLangString(int id)
{
    (void)sorted;
    const auto it = std::lower_bound(std::begin(rows), std::end(rows), id,
                                     [](const Row& row, int key) { return row.id < key; });
    return it != std::end(rows) && it->id == id ? it->text : nullptr;
}
