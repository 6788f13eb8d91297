// The dialog drivers' language and box answers.
#include "dialog_driver.h"

#include <cstdio>

#include "gui/controls/message_box.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

DriverLanguage::DriverLanguage() = default;

DriverLanguage::~DriverLanguage()
{
    if (m_pack)
        setActiveLanguagePack(nullptr);
}

bool DriverLanguage::use(const QString& lang, const QString& programFolder, const char* program)
{
    if (lang.isEmpty() || lang == "zh_CN")
        return true;
    QString error;
    m_pack.reset(LanguagePack::load(programFolder, lang, &error));
    if (!m_pack) {
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(error));
        return false;
    }
    setActiveLanguagePack(m_pack.get());
    return true;
}

void answerEveryBox()
{
    setMessageInterceptor([](const MessageRecord& record) {
        std::fprintf(stderr, "message: %s\n", qPrintable(record.text));
        return record.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
}

}  // namespace tavelune::gui
