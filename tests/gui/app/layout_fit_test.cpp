// Every window of the program on a 1024 x 700 screen, in each language: it fits the screen,
// and no label, button, check box or group title is cut, at its first size and its smallest.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "engine/format_dispatch.h"
#include "exif/exif_data.h"
#include "gui/app/full_size_save.h"
#include "gui/app/language_dialog.h"
#include "gui/app/main_window.h"
#include "gui/app/save_size_dialog.h"
#include "gui/batch/batch_dialog.h"
#include "gui/engine/image_size_dialog.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/exif/exif_editor_dialog.h"
#include "gui/film/lut_size_dialog.h"
#include "gui/indexprint/index_print_dialog.h"
#include "gui/overlay/font_dialog.h"
#include "gui/support/app_settings.h"
#include "gui/support/screen_fit.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

const QString kCamera = QStringLiteral(TAVELUNE_FIXTURES_DIR "/camera/canon-powershot-s40.jpg");

QString plain(QString text)
{
    // "&&" is a literal ampersand, a lone "&" marks the mnemonic and takes no room.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

int textWidth(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

// The room a widget gives its text, by the style's own measures; -1 for a widget that shows
// no text of the kinds checked.
int roomForText(QWidget* widget, QString& shown)
{
    QStyle* style = widget->style();
    const int iconRoom = [&] {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        return button && !button->icon().isNull() ? button->iconSize().width() + 4 : 0;
    }();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->wordWrap() || label->text().isEmpty() || label->textFormat() == Qt::RichText ||
            Qt::mightBeRichText(label->text())) {
            return -1;
        }
        shown = label->text();
        const int indent = label->indent() < 0 ? 0 : label->indent();
        return label->contentsRect().width() - 2 * label->margin() - indent;
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        shown = plain(box->text());
        return box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box) - iconRoom;
    }
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        shown = plain(radio->text());
        return radio->width() -
               style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) -
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio) - iconRoom;
    }
    if (auto* push = qobject_cast<QPushButton*>(widget)) {
        shown = plain(push->text());
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push);
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, push);
        const int menu = push->menu() ? style->pixelMetric(QStyle::PM_MenuButtonIndicator) : 0;
        return push->width() - margin - 2 * frame - iconRoom - menu;
    }
    if (auto* tool = qobject_cast<QToolButton*>(widget)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly || tool->text().isEmpty()) {
            return -1;
        }
        shown = plain(tool->text());
        const int icon = tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon ? iconRoom : 0;
        const int menu = tool->popupMode() == QToolButton::InstantPopup ||
                                 tool->popupMode() == QToolButton::MenuButtonPopup
                             ? style->pixelMetric(QStyle::PM_MenuButtonIndicator)
                             : 0;
        return tool->width() - icon - menu - 2;
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        if (group->title().isEmpty()) {
            return -1;
        }
        shown = plain(group->title());
        const int check = group->isCheckable()
                              ? style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, group) +
                                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
                              : 0;
        return group->width() - 16 - check;
    }
    return -1;
}

// "name: text (needs n, has m)" for every cut text of window's visible widgets.
QStringList clippedTexts(QWidget* window)
{
    QStringList cut;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->width() <= 0) {
            continue;
        }
        QString shown;
        const int room = roomForText(widget, shown);
        if (room < 0 || shown.isEmpty()) {
            continue;
        }
        const int needed = textWidth(widget->fontMetrics(), shown);
        const bool tooLow = widget->height() < widget->fontMetrics().height() - 1 &&
                            !qobject_cast<QGroupBox*>(widget);
        if (needed > room || tooLow) {
            cut << QStringLiteral("%1 \"%2\" (needs %3x%4, has %5x%6)")
                       .arg(widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                           : widget->objectName(),
                            shown)
                       .arg(needed)
                       .arg(widget->fontMetrics().height())
                       .arg(room)
                       .arg(widget->height());
        }
    }
    return cut;
}

// Checks every page of every tab control, since only the current page is laid out visibly.
QStringList clippedOnEveryTab(QWidget* window)
{
    QStringList cut;
    const QList<QTabWidget*> tabs = window->findChildren<QTabWidget*>();
    std::function<void(int)> visit = [&](int depth) {
        if (depth == tabs.size()) {
            QApplication::processEvents();
            cut << clippedTexts(window);
            return;
        }
        QTabWidget* tab = tabs[depth];
        if (!tab->isVisibleTo(window)) {
            visit(depth + 1);
            return;
        }
        for (int i = 0; i < tab->count(); ++i) {
            tab->setCurrentIndex(i);
            visit(depth + 1);
        }
        tab->setCurrentIndex(0);
    };
    visit(0);
    cut.removeDuplicates();
    return cut;
}

using Maker = std::function<std::unique_ptr<QWidget>()>;

struct Window {
    const char* name;
    Maker make;
};

std::vector<Window> everyWindow(ExifData& exif)
{
    return {
        {"main window",
         [] {
             return std::make_unique<MainWindow>(test::buildProgramFolder(),
                                                 test::makeGradient(64, 48),
                                                 test::makeGradient(64, 48));
         }},
        {"batch", [] { return std::make_unique<BatchDialog>(); }},
        {"index print", [] { return std::make_unique<IndexPrintDialog>(); }},
        {"exif editor",
         [&exif] {
             return std::make_unique<ExifEditorDialog>(exif, EditorPicture{1600, 1200, 180});
         }},
        {"font", [] { return std::make_unique<FontDialog>(FontChoice{}, QString()); }},
        {"image size",
         [] {
             auto dialog = std::make_unique<ImageSizeDialog>();
             dialog->setValues(800, 533, 72);
             return dialog;
         }},
        {"jpeg options", [] { return std::make_unique<JpegOptionsDialog>(); }},
        {"tiff options", [] { return std::make_unique<TiffOptionsDialog>(); }},
        {"save size",
         [] {
             return std::make_unique<SaveSizeDialog>(QSize(800, 533), QSize(6000, 4000),
                                                     QSize(5800, 3900));
         }},
        {"lut size", [] { return std::make_unique<LutSizeDialog>(LutFormat::Cube); }},
        {"language", [] { return std::make_unique<LanguageDialog>("zh_CN", true, false); }},
        {"full-size progress", [] { return std::make_unique<FullSizeProgressDialog>(); }},
    };
}

}  // namespace

class LayoutFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(1024, 700));
        installScreenFit();
    }

    void cleanup() { setActiveLanguagePack(nullptr); }

    void fitFrameWithinKeepsTheWindowOnTheScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("fitted");
        const QSize small(200, 100);
        QTest::newRow("fits already") << QRect(10, 10, 800, 600) << small << QRect(10, 10, 800, 600);
        QTest::newRow("too large") << QRect(0, 0, 1108, 754) << small << QRect(0, 0, 1024, 700);
        QTest::newRow("sticks out right and below")
            << QRect(500, 400, 800, 600) << small << QRect(224, 100, 800, 600);
        QTest::newRow("restored from a larger screen")
            << QRect(900, 300, 1900, 1040) << small << QRect(0, 0, 1024, 700);
        QTest::newRow("above and left of the screen")
            << QRect(-50, -20, 300, 200) << small << QRect(0, 0, 300, 200);
        // A window that cannot be smaller than the screen keeps its title bar in view.
        QTest::newRow("minimum larger than the screen")
            << QRect(100, 100, 1200, 800) << QSize(1100, 760) << QRect(0, 0, 1100, 760);
    }

    void fitFrameWithinKeepsTheWindowOnTheScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QSize, minimum);
        QFETCH(QRect, fitted);
        QCOMPARE(fitFrameWithin(frame, minimum, QRect(0, 0, 1024, 700)), fitted);
    }

    void theCheckSeesEveryKindOfCutText()
    {
        QWidget window;
        const QString longText = QStringLiteral("A text far wider than its widget");
        auto* label = new QLabel(longText, &window);
        auto* push = new QPushButton(longText, &window);
        auto* box = new QCheckBox(longText, &window);
        auto* group = new QGroupBox(longText, &window);
        auto* fits = new QLabel(QStringLiteral("ok"), &window);
        for (QWidget* widget : std::initializer_list<QWidget*>{label, push, box, group}) {
            widget->setFixedWidth(60);
        }
        fits->setFixedWidth(60);
        window.show();
        QCOMPARE(clippedTexts(&window).size(), 4);
    }

    void everyWindowFitsTheScreenAndCutsNoText_data()
    {
        test::addLanguageRows();
    }

    void everyWindowFitsTheScreenAndCutsNoText()
    {
        QFETCH(QString, language);
        test::PrivateSettings privateSettings;
        // A main window size stored on a large screen must not carry over.
        {
            MainWindow large(test::buildProgramFolder(), test::makeGradient(64, 48),
                             test::makeGradient(64, 48));
            large.setGeometry(40, 40, 1880, 1000);
            AppSettings::setWindowGeometry(large.saveGeometry());
        }
        const test::ActiveLanguage active(language);
        QVERIFY2(active.ok(), qPrintable(active.error()));
        ExifData exif;
        QVERIFY(exif.LoadExif(kCamera.toStdString()));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QStringList faults;
        for (const Window& entry : everyWindow(exif)) {
            std::unique_ptr<QWidget> window = entry.make();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QApplication::processEvents();
            const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
            if (!available.contains(window->frameGeometry())) {
                faults << QStringLiteral("%1: opens at %2,%3 %4x%5")
                              .arg(entry.name)
                              .arg(window->frameGeometry().x())
                              .arg(window->frameGeometry().y())
                              .arg(window->frameGeometry().width())
                              .arg(window->frameGeometry().height());
            }
            // A declared smallest size is a promise: the layout must not hold the window wider.
            if (!window->minimumSize().isEmpty() && minimum != window->minimumSize()) {
                faults << QStringLiteral("%1: declared minimum %2x%3, its layout needs %4x%5")
                              .arg(entry.name)
                              .arg(window->minimumWidth())
                              .arg(window->minimumHeight())
                              .arg(minimum.width())
                              .arg(minimum.height());
            }
            if (minimum.width() > available.width() || minimum.height() > available.height()) {
                faults << QStringLiteral("%1: cannot be smaller than %2x%3")
                              .arg(entry.name)
                              .arg(minimum.width())
                              .arg(minimum.height());
            }
            for (const QString& cut : clippedOnEveryTab(window.get())) {
                faults << QStringLiteral("%1 at %2x%3: %4")
                              .arg(entry.name)
                              .arg(window->width())
                              .arg(window->height())
                              .arg(cut);
            }
            window->resize(minimum);
            QApplication::processEvents();
            for (const QString& cut : clippedOnEveryTab(window.get())) {
                faults << QStringLiteral("%1 at its minimum %2x%3: %4")
                              .arg(entry.name)
                              .arg(window->width())
                              .arg(window->height())
                              .arg(cut);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
    }
};

int main(int argc, char** argv)
{
    // The offscreen platform's screen as a small laptop's: 1024 x 700 available.
    QTemporaryDir dir;
    QFile config(dir.filePath("screen.json"));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1024,)"
                     R"( "height": 700, "logicalDpi": 96, "dpr": 1}]})") < 0) {
        return 1;
    }
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    LayoutFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "layout_fit_test.moc"
