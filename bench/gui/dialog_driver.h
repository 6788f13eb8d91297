// What the dialog drivers share: the language a run is shown in, and boxes answered at once.
#pragma once

#include <QString>
#include <memory>

namespace tavelune::gui {

class LanguagePack;

/// The pack of a driver's --lang, active while this lives (zh_CN, the built-in language, needs
/// none). Declare it after the application and before the dialog.
class DriverLanguage {
public:
    DriverLanguage();
    ~DriverLanguage();
    DriverLanguage(const DriverLanguage&) = delete;
    DriverLanguage& operator=(const DriverLanguage&) = delete;

    /// False, with a line naming program on stderr, when the pack cannot be loaded.
    bool use(const QString& lang, const QString& programFolder, const char* program);

private:
    std::unique_ptr<LanguagePack> m_pack;
};

/// Every box from now on is printed on stderr as "message: TEXT" and answered at once, Yes to
/// a question that offers it and OK otherwise, so a run never waits for a click.
void answerEveryBox();

}  // namespace tavelune::gui
