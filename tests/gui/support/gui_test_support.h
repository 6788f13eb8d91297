// What the widget tests share: a private settings folder, collected message boxes, test pictures.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "engine/image.h"
#include "film/film_settings.h"
#include "gui/controls/message_box.h"

namespace tavelune::gui {
class FilmStrip;
class LanguagePack;
class PhotoPage;
}

namespace tavelune::gui::test {

/// Collects every message box while alive and answers each with `answer` (or the next of
/// `answers` while any are left).
class MessageCollector {
public:
    explicit MessageCollector(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;

    void queueAnswers(std::vector<QMessageBox::StandardButton> answers);
    const std::vector<MessageRecord>& messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    MessageInterceptor m_previous;
    QMessageBox::StandardButton m_answer;
    std::vector<QMessageBox::StandardButton> m_answers;
    std::vector<MessageRecord> m_messages;
};

/// Points XDG_CONFIG_HOME at a fresh folder so a test never reads or writes the user's settings.
class PrivateSettings {
public:
    PrivateSettings();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

/// A picture whose every pixel differs from its neighbours, for geometry checks.
Image makeGradient(int width, int height, float dpi = 72.0f);

/// Opens path on page and waits until the opening has ended: false when it did not start, did
/// not end within a minute, or failed.
bool openAndWait(PhotoPage& page, const QString& path);

/// Waits until strip has drawn, then whether each preview is exactly its film over numbers
/// with look's options; failure names the first film that is not, or says the drawing hung.
bool stripDrawsFilmsOn(const FilmStrip& strip, const Image& numbers, const FilmSettings& look,
                       QByteArray& failure);

/// The program's languages, as the rows of a "language" column (QString) of a data function.
void addLanguageRows();

/// Makes a language the program's while alive: zh_CN is built in, the others are loaded from
/// the build tree. Check ok() (error() says why not) before trusting a text.
class ActiveLanguage {
public:
    explicit ActiveLanguage(const QString& code);
    ~ActiveLanguage();
    ActiveLanguage(const ActiveLanguage&) = delete;
    ActiveLanguage& operator=(const ActiveLanguage&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    std::unique_ptr<LanguagePack> m_pack;
    QString m_error;
};

/// The folder tavelune runs from in the build tree (lang/, data/, help/ beside it).
QString buildProgramFolder();

}  // namespace tavelune::gui::test
