// Every user-visible text of the desktop program, by string number, in the active language.
#pragma once

#include <QString>
#include <string>

#include "strings/text_ids.h"

namespace tavelune::gui {

/// The loaded language pack, if any; texts it lacks fall back to the built-in Simplified Chinese.
class LanguagePack {
public:
    using LookupFunction = const char* (*)(int);

    /// Loads programFolder/lang/Lang_<code>.so. Only that exact path is tried, never a search
    /// path, so a pack can never come from the working directory. Null on any failure.
    static LanguagePack* load(const QString& programFolder, const QString& code, QString* error);
    ~LanguagePack();
    LanguagePack(const LanguagePack&) = delete;
    LanguagePack& operator=(const LanguagePack&) = delete;

    QString code() const { return m_code; }
    const char* lookup(int id) const { return m_lookup(id); }

private:
    LanguagePack(void* handle, QString code, LookupFunction lookupFunction);

    void* m_handle;
    QString m_code;
    LookupFunction m_lookup;
};

/// Makes pack the source of all texts (null: the built-in texts); the caller keeps it alive.
void setActiveLanguagePack(const LanguagePack* pack);
/// "zh_CN" without a pack, else the code the pack reports.
QString activeLanguageCode();

/// Text of string number id (a Strings:: name) in the active language; "#id" for a number
/// nobody knows.
QString text(int id);
/// The built-in Simplified Chinese text, or null.
const char* builtInText(int id);

}  // namespace tavelune::gui
