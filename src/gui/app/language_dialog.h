// The dialog that asks for the user-interface language.
#pragma once

#include <QDialog>

class QRadioButton;

namespace tavelune::gui {

class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    /// english: whether the English pack is installed (only then is English offered);
    /// preferEnglish: a first start under an English locale.
    LanguageDialog(const QString& currentCode, bool english, bool preferEnglish,
                   QWidget* parent = nullptr);

    QString chosenCode() const;

private:
    QRadioButton* m_english;
    QRadioButton* m_simplified;
    QRadioButton* m_traditional;
};

/// The stored language, asking when none is stored or askAlways is set. The dialog's choice is
/// stored; a failed write is silent and leaves the stored value alone.
QString readLanguage(const QString& programFolder, bool askAlways, QWidget* parent = nullptr);

}  // namespace tavelune::gui
