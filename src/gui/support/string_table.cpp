// The built-in Simplified Chinese column of the string table and the language pack loader.
#include "gui/support/string_table.h"

#include <dlfcn.h>

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <iterator>

namespace tavelune::gui {

namespace {

struct Row {
    int id;
    const char* text;
};

#define TAVELUNE_TEXT(name, id, zhCN, zhTW, enUS) {id, zhCN},
Row builtInRows[] = {
#include "strings/all.inc"
};
#undef TAVELUNE_TEXT

const Row* sortedBuiltInRows()
{
    static const bool sorted = [] {
        std::sort(std::begin(builtInRows), std::end(builtInRows),
                  [](const Row& a, const Row& b) { return a.id < b.id; });
        return true;
    }();
    (void)sorted;
    return builtInRows;
}

std::atomic<const LanguagePack*> activePack{nullptr};

}  // namespace

LanguagePack::LanguagePack(void* handle, QString code, LookupFunction lookupFunction)
    : m_handle(handle), m_code(std::move(code)), m_lookup(lookupFunction)
{
}

LanguagePack::~LanguagePack()
{
    dlclose(m_handle);
}

LanguagePack* LanguagePack::load(const QString& programFolder, const QString& code, QString* error)
{
    const QString path = programFolder + "/lang/Lang_" + code + ".so";
    // dlopen searches the library path for a bare name; an absolute path is taken as it is.
    if (!QFileInfo(path).isAbsolute() || !QFileInfo::exists(path)) {
        if (error) {
            *error = path + ": not found";
        }
        return nullptr;
    }
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            *error = QString::fromLocal8Bit(dlerror());
        }
        return nullptr;
    }
    using CodeFunction = const char* (*)();
    auto getCode = reinterpret_cast<CodeFunction>(dlsym(handle, "GetLangCode"));
    auto lookup = reinterpret_cast<LookupFunction>(dlsym(handle, "GetLangString"));
    if (!getCode || !lookup || !getCode()) {
        if (error) {
            *error = path + ": not a language pack";
        }
        dlclose(handle);
        return nullptr;
    }
    return new LanguagePack(handle, QString::fromUtf8(getCode()), lookup);
}

void setActiveLanguagePack(const LanguagePack* pack)
{
    activePack.store(pack);
}

QString activeLanguageCode()
{
    const LanguagePack* pack = activePack.load();
    return pack ? pack->code() : QStringLiteral("zh_CN");
}

const char* builtInText(int id)
{
    const Row* rows = sortedBuiltInRows();
    const Row* end = rows + std::size(builtInRows);
    const Row* it =
        std::lower_bound(rows, end, id, [](const Row& row, int key) { return row.id < key; });
    return it != end && it->id == id ? it->text : nullptr;
}

QString text(int id)
{
    if (const LanguagePack* pack = activePack.load()) {
        if (const char* translated = pack->lookup(id)) {
            return QString::fromUtf8(translated);
        }
    }
    if (const char* own = builtInText(id)) {
        return QString::fromUtf8(own);
    }
    return QStringLiteral("#%1").arg(id);
}

}  // namespace tavelune::gui
