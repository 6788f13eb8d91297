// Choosing the language: Simplified or Traditional Chinese, and English when its pack is there.
#include "gui/app/language_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

LanguageDialog::LanguageDialog(const QString& currentCode, bool english, bool preferEnglish,
                               QWidget* parent)
    : QDialog(parent)
{
    // The dialog shows before any pack is chosen, so its own texts read the same in all three.
    setWindowTitle(QStringLiteral("Language"));
    auto* group = new QGroupBox(QStringLiteral("Select Language"), this);
    m_english = new QRadioButton(QStringLiteral("English"), group);
    m_simplified = new QRadioButton(QStringLiteral("简体中文"), group);
    m_traditional = new QRadioButton(QStringLiteral("繁體中文"), group);
    m_english->setObjectName("language_en_US");
    m_simplified->setObjectName("language_zh_CN");
    m_traditional->setObjectName("language_zh_TW");
    m_english->setVisible(english);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_english);
    groupLayout->addWidget(m_simplified);
    groupLayout->addWidget(m_traditional);

    if (currentCode == QLatin1String("zh_TW")) {
        m_traditional->setChecked(true);
    } else if (english && (currentCode == QLatin1String("en_US") ||
                           (currentCode.isEmpty() && preferEnglish))) {
        m_english->setChecked(true);
    } else {
        m_simplified->setChecked(true);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(260);
}

QString LanguageDialog::chosenCode() const
{
    if (m_simplified->isChecked()) {
        return QStringLiteral("zh_CN");
    }
    if (m_traditional->isChecked()) {
        return QStringLiteral("zh_TW");
    }
    return QStringLiteral("en_US");
}

QString readLanguage(const QString& programFolder, bool askAlways, QWidget* parent)
{
    QString code = AppSettings::language();
    if (!code.isEmpty() && !askAlways) {
        return code;
    }
    const bool english = QFileInfo::exists(programFolder + "/lang/Lang_en_US.so");
    const bool preferEnglish = QLocale::system().language() == QLocale::English;
    LanguageDialog dialog(code, english, preferEnglish, parent);
    if (dialog.exec() == QDialog::Accepted) {
        code = dialog.chosenCode();
        AppSettings::setLanguage(code);
    }
    return code;
}

}  // namespace tavelune::gui
