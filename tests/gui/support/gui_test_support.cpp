// Shared helpers of the widget tests.
#include "support/gui_test_support.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "film/film_registry.h"
#include "film/film_step.h"
#include "gui/app/photo_page.h"
#include "gui/film/film_strip.h"
#include "gui/support/string_table.h"

namespace tavelune::gui::test {

MessageCollector::MessageCollector(QMessageBox::StandardButton answer) : m_answer(answer)
{
    m_previous = setMessageInterceptor([this](const MessageRecord& record) {
        m_messages.push_back(record);
        if (!m_answers.empty()) {
            const auto next = m_answers.front();
            m_answers.erase(m_answers.begin());
            return next;
        }
        return m_answer;
    });
}

MessageCollector::~MessageCollector()
{
    setMessageInterceptor(m_previous);
}

void MessageCollector::queueAnswers(std::vector<QMessageBox::StandardButton> answers)
{
    m_answers = std::move(answers);
}

QStringList MessageCollector::texts() const
{
    QStringList list;
    for (const auto& m : m_messages) {
        list << m.text;
    }
    return list;
}

PrivateSettings::PrivateSettings()
{
    setenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()).constData(), 1);
}

Image makeGradient(int width, int height, float dpi)
{
    Image image;
    image.create(width, height, dpi);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = image.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            row[x] = 0xFF000000u | (uint32_t(x * 255 / std::max(1, width - 1)) << 16) |
                     (uint32_t(y * 255 / std::max(1, height - 1)) << 8) | uint32_t((x + y) & 0xFF);
        }
    }
    return image;
}

QString buildProgramFolder()
{
    return QStringLiteral(TAVELUNE_BUILD_DIR);
}

bool openAndWait(PhotoPage& page, const QString& path)
{
    QSignalSpy opened(&page, &PhotoPage::pictureOpened);
    if (!page.openPicture(path)) {
        return false;
    }
    if (opened.isEmpty() && !opened.wait(60000)) {
        return false;
    }
    return opened.first().first().toBool();
}

namespace {

// Film output carries no meaningful alpha.
bool sameColours(const Image& a, const Image& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    return std::equal(a.pixels(), a.pixels() + a.pixelCount(), b.pixels(),
                      [](uint32_t p, uint32_t q) { return ((p ^ q) & 0xFFFFFF) == 0; });
}

}  // namespace

bool stripDrawsFilmsOn(const FilmStrip& strip, const Image& numbers, const FilmSettings& look,
                       QByteArray& failure)
{
    if (!QTest::qWaitFor([&] { return !strip.isDrawing(); }, 10000)) {
        failure = "the strip is still drawing";
        return false;
    }
    for (int i = 0; i < strip.previewCount(); ++i) {
        FilmSettings film = look;
        film.enabled = true;
        film.filmType = filmRows()[size_t(i)].code;
        Image drawn;
        if (!runFilmStep(numbers, drawn, film, nullptr, 0) ||
            !sameColours(strip.preview(i), drawn)) {
            failure = filmRows()[size_t(i)].cliName;
            return false;
        }
    }
    return true;
}

void addLanguageRows()
{
    QTest::addColumn<QString>("language");
    for (const char* code : {"zh_CN", "zh_TW", "en_US"}) {
        QTest::newRow(code) << QString::fromLatin1(code);
    }
}

ActiveLanguage::ActiveLanguage(const QString& code)
{
    if (code != QLatin1String("zh_CN")) {
        m_pack.reset(LanguagePack::load(buildProgramFolder(), code, &m_error));
        if (!m_pack && m_error.isEmpty()) {
            m_error = QStringLiteral("no language pack for ") + code;
        }
    }
    setActiveLanguagePack(m_pack.get());
}

ActiveLanguage::~ActiveLanguage()
{
    setActiveLanguagePack(nullptr);
}

}  // namespace tavelune::gui::test
