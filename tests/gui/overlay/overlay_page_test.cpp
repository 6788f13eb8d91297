// The watermark and signature pages: initial values, unit conversion, mode swap, enable and
// opacity rules, the transparent colour's key, the picture and the information-tag menu.
#include "gui/overlay/overlay_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "engine/format_dispatch.h"
#include "exif/exif_data.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_popup.h"
#include "gui/controls/message_box.h"
#include "gui/overlay/font_dialog.h"
#include "gui/overlay/picture_preview.h"
#include "gui/overlay/tag_menu.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

template <typename T>
T* child(QWidget& page, const char* name)
{
    T* found = page.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString fieldText(QWidget& page, const char* name)
{
    return child<QLineEdit>(page, name)->text();
}

void chooseColour(ColourButton* button, int index)
{
    button->showPopup();
    QTest::mouseClick(button->popup()->cell(index), Qt::LeftButton);
}

// Opens the insert menu and picks the entry whose command is `command`, from the sub-menu
// when `fromMore` is set.
void pickTag(OverlayPage& page, int command, bool fromMore)
{
    QTimer::singleShot(0, [command, fromMore] {
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (fromMore) {
            QAction* more = menu->actions().back();
            QVERIFY(more->menu());
            menu->setActiveAction(more);
            QTest::keyClick(menu, Qt::Key_Right);
            QTRY_COMPARE(QApplication::activePopupWidget(), more->menu());
            menu = more->menu();
        }
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->menu() && action->data().toInt() == command) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        QFAIL("no entry for the command");
    });
    QTest::mouseClick(child<QPushButton>(page, "insert"), Qt::LeftButton);
}

}  // namespace

class OverlayPageTest : public QObject {
    Q_OBJECT
private slots:
    void bothPagesStartFromTheirOwnDefaults()
    {
        struct Row {
            OverlayPage::Kind kind;
            bool textMode;
            int horizontal, vertical;
            const char* offsetX;
            const char* offsetY;
        };
        const Row rows[] = {{OverlayPage::Kind::Watermark, false, 0, 0, "22", "22"},
                            {OverlayPage::Kind::Signature, true, 2, 2, "17", "10"}};
        for (const Row& row : rows) {
            OverlayPage page(row.kind);
            QVERIFY(!child<QCheckBox>(page, "enable")->isChecked());
            QCOMPARE(child<QRadioButton>(page, "textMode")->isChecked(), row.textMode);
            QCOMPARE(child<QComboBox>(page, "horizontal")->currentIndex(), row.horizontal);
            QCOMPARE(child<QComboBox>(page, "vertical")->currentIndex(), row.vertical);
            QCOMPARE(fieldText(page, "offsetX"), QString(row.offsetX));
            QCOMPARE(fieldText(page, "offsetY"), QString(row.offsetY));
            QCOMPARE(child<QComboBox>(page, "unit")->currentData().toInt(), 0);
            QCOMPARE(fieldText(page, "opacity"), QStringLiteral("100"));
            QCOMPARE(child<ColourButton>(page, "transparentColour")->colour(), -1);
            const OverlaySettings settings = page.settings();
            QCOMPARE(settings.enabled, false);
            QCOMPARE(settings.offsetX, row.kind == OverlayPage::Kind::Watermark ? 22.0 : 17.0);
            QCOMPARE(settings.font, OverlayFont{});
            QCOMPARE(settings.textColour, 0u);
        }
    }

    void unitChangeConvertsBothOffsetsAtThePictureDpi()
    {
        OverlayPage page(OverlayPage::Kind::Signature);
        auto* unit = child<QComboBox>(page, "unit");
        page.setCurrentImageDpi(300);
        child<QLineEdit>(page, "offsetX")->setText("300");
        child<QLineEdit>(page, "offsetY")->setText("-150");
        unit->setCurrentIndex(unit->findData(2));  // cm
        QCOMPARE(fieldText(page, "offsetX"), QStringLiteral("2.54"));
        QCOMPARE(fieldText(page, "offsetY"), QStringLiteral("-1.27"));
        QCOMPARE(page.settings().unit, 2);
        unit->setCurrentIndex(unit->findData(3));  // mm
        QCOMPARE(fieldText(page, "offsetX"), QStringLiteral("25.4"));
        unit->setCurrentIndex(unit->findData(0));
        QCOMPARE(fieldText(page, "offsetX"), QStringLiteral("300"));
        QCOMPARE(fieldText(page, "offsetY"), QStringLiteral("-150"));

        // Without a picture the conversion uses 72 dpi.
        page.setCurrentImageDpi(0);
        child<QLineEdit>(page, "offsetX")->setText("72");
        unit->setCurrentIndex(unit->findData(1));
        QCOMPARE(fieldText(page, "offsetX"), QStringLiteral("1"));
    }

    void fieldsAcceptOnlyWhatTheirRulesAllow()
    {
        OverlayPage page(OverlayPage::Kind::Watermark);
        child<QCheckBox>(page, "enable")->setChecked(true);
        auto* offset = child<QLineEdit>(page, "offsetX");
        offset->clear();
        QTest::keyClicks(offset, "-12.34567x");
        QCOMPARE(offset->text(), QStringLiteral("-12.345"));
        auto* opacity = child<QLineEdit>(page, "opacity");
        opacity->clear();
        QTest::keyClicks(opacity, "-5.5123");
        QCOMPARE(opacity->text(), QStringLiteral("551"));
    }

    void modeSwapShowsTheTextOrThePictureControls()
    {
        OverlayPage page(OverlayPage::Kind::Watermark);
        page.show();
        const char* textControls[] = {"text", "font", "insert"};
        const char* pictureControls[] = {"preview", "open", "remove", "transparentLabel",
                                         "transparentColour"};
        for (bool textMode : {true, false, true}) {
            child<QRadioButton>(page, textMode ? "textMode" : "pictureMode")->setChecked(true);
            for (const char* name : textControls)
                QVERIFY2(child<QWidget>(page, name)->isVisible() == textMode, name);
            for (const char* name : pictureControls)
                QVERIFY2(child<QWidget>(page, name)->isVisible() != textMode, name);
            QCOMPARE(page.settings().mode, textMode ? OverlayMode::Text : OverlayMode::Picture);
        }
        // The picture controls take the text controls' places.
        child<QRadioButton>(page, "pictureMode")->setChecked(true);
        QCOMPARE(child<QWidget>(page, "open")->geometry().topLeft(),
                 child<QWidget>(page, "font")->geometry().topLeft());
    }

    void enableBoxEnablesEveryOtherControl()
    {
        OverlayPage page(OverlayPage::Kind::Signature);
        auto* enable = child<QCheckBox>(page, "enable");
        for (bool on : {false, true, false}) {
            enable->setChecked(on);
            QVERIFY(enable->isEnabled());
            for (const char* name :
                 {"textMode", "pictureMode", "horizontal", "offsetX", "unit", "opacity", "text",
                  "font", "insert", "open", "transparentColour"})
                QVERIFY2(child<QWidget>(page, name)->isEnabled() == on, name);
        }
    }

    void opacityAboveHundredIsLoweredWhenTheFieldLosesFocus()
    {
        OverlayPage page(OverlayPage::Kind::Signature);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        child<QCheckBox>(page, "enable")->setChecked(true);
        auto* opacity = child<QLineEdit>(page, "opacity");
        struct Row {
            const char* typed;
            const char* after;
        };
        for (const Row& row :
             {Row{"250", "100"}, Row{"101", "100"}, Row{"99", "99"}, Row{"0", "0"}}) {
            opacity->setFocus();
            opacity->selectAll();
            QTest::keyClicks(opacity, row.typed);
            QCOMPARE(opacity->text(), QString(row.typed));  // unchanged while focused
            child<QLineEdit>(page, "offsetX")->setFocus();
            QTRY_VERIFY(!opacity->hasFocus());
            QCOMPARE(opacity->text(), QString(row.after));
            QCOMPARE(page.settings().opacity, QString(row.after).toInt());
        }
    }

    void transparentColourSetsThePictureKeyAndNoneClearsIt()
    {
        OverlayPage page(OverlayPage::Kind::Watermark);
        child<QCheckBox>(page, "enable")->setChecked(true);
        auto* button = child<ColourButton>(page, "transparentColour");

        // A colour chosen before any picture is there keys the picture opened later.
        chooseColour(button, 3);  // white
        Image picture;
        picture.setFillColour(0xFFFFFFFF);
        QVERIFY(picture.create(4, 2, 96));
        picture.setPixel(0, 0, 0xFFFEFEFE);
        page.takePicture(picture);

        ColourKey key = page.settings().picture.colourKey();
        QCOMPARE(key.low, 0x00FFFFFFu);
        QCOMPARE(key.high, 0xFFFFFFFFu);
        QCOMPARE(key.opacity, 0);
        // The preview shows white as the grey behind it, the near-white pixel as it is.
        const QImage shown = child<PicturePreview>(page, "preview")->shownImage();
        QCOMPARE(shown.pixel(1, 0), 0xFF808080u);
        QCOMPARE(shown.pixel(0, 0), 0xFFFEFEFEu);

        chooseColour(button, 4);  // red, 0x0000FF as a Windows colour
        key = page.settings().picture.colourKey();
        QCOMPARE(key.low, 0x00FF0000u);
        QCOMPARE(key.high, 0xFFFF0000u);

        chooseColour(button, -1);
        key = page.settings().picture.colourKey();
        QCOMPARE(key.low, 0xFF000000u);
        QCOMPARE(key.high, 0xFFFFFFFFu);
        QCOMPARE(key.opacity, 100);
        QCOMPARE(page.settings().transparentColour, -1);
        QCOMPARE(child<PicturePreview>(page, "preview")->shownImage().pixel(1, 0), 0xFFFFFFFFu);
    }

    void pictureOpensShowsItsSizeAndIsRemoved()
    {
        installEngineMessageSink();
        test::MessageCollector messages;
        OverlayPage page(OverlayPage::Kind::Watermark);
        child<QCheckBox>(page, "enable")->setChecked(true);
        QVERIFY(child<QWidget>(page, "preview")->toolTip().isEmpty());
        page.takePicture(test::makeGradient(120, 80, 150));
        QCOMPARE(child<QWidget>(page, "preview")->toolTip(), QStringLiteral("图像 (120 x 80)"));
        OverlaySettings settings = page.settings();
        QCOMPARE(settings.picture.width(), 120);
        QCOMPARE(settings.picture.dpi(), 150.0f);

        // A file that cannot be read leaves the picture as it was.
        QVERIFY(!page.openPicture(QStringLiteral("/nonexistent/picture.png")));
        QCOMPARE(page.settings().picture.width(), 120);
        QCOMPARE(messages.messages().size(), size_t(1));

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("mark.png"));
        QImage(30, 20, QImage::Format_RGB32).save(path);
        QVERIFY(page.openPicture(path));
        QCOMPARE(page.settings().picture.width(), 30);
        QCOMPARE(page.settings().picturePath, path.toStdString());
        QCOMPARE(child<QWidget>(page, "preview")->toolTip(), QStringLiteral("图像 (30 x 20)"));

        QTest::mouseClick(child<QPushButton>(page, "remove"), Qt::LeftButton);
        QVERIFY(page.settings().picture.isEmpty());
        QVERIFY(page.settings().picturePath.empty());
        QVERIFY(child<QWidget>(page, "preview")->toolTip().isEmpty());
        QVERIFY(child<PicturePreview>(page, "preview")->shownImage().isNull());
    }

    void tagMenuInsertsTheMarkerAtTheCursor()
    {
        OverlayPage page(OverlayPage::Kind::Signature);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        child<QCheckBox>(page, "enable")->setChecked(true);
        auto* box = child<QPlainTextEdit>(page, "text");
        struct Row {
            int command;
            bool fromMore;
            int selectFrom, selectTo;
            const char* expected;
        };
        const Row rows[] = {
            {33432, false, 3, 3, "ab <Copyright/>cd"},
            {6, false, 0, 0, "<StampDate/>ab cd"},
            {8, false, 3, 5, "ab <Aperture/>"},  // the selection is replaced
            {41989, true, 5, 5, "ab cd<FocalLengthIn35mmFilm/>"},
            {36867, true, 2, 3, "ab<DateTimeOriginal/>cd"},
        };
        for (const Row& row : rows) {
            box->setPlainText("ab cd");
            QTextCursor cursor = box->textCursor();
            cursor.setPosition(row.selectFrom);
            cursor.setPosition(row.selectTo, QTextCursor::KeepAnchor);
            box->setTextCursor(cursor);
            pickTag(page, row.command, row.fromMore);
            QCOMPARE(box->toPlainText(), QString(row.expected));
            QTRY_COMPARE(page.focusWidget(), box);
            QCOMPARE(page.settings().text, std::string(row.expected));
        }
        // Closing the menu without a choice changes nothing and gives the focus back.
        child<QPushButton>(page, "font")->setFocus();
        QTimer::singleShot(0, [] {
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        });
        QTest::mouseClick(child<QPushButton>(page, "insert"), Qt::LeftButton);
        QCOMPARE(box->toPlainText(), QStringLiteral("ab<DateTimeOriginal/>cd"));
        QTRY_COMPARE(page.focusWidget(), box);
        // One undo takes the insertion back.
        box->undo();
        QCOMPARE(box->toPlainText(), QStringLiteral("ab cd"));
    }

    void tagMenuShowsWhatEachTagGives()
    {
        test::PrivateSettings privateSettings;
        Image picture;
        ExifData exif;
        const std::string path = TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg";
        QVERIFY(openImage(path, picture) && exif.LoadExif(path));
        // The value after the tab of the entry for command, in the menu or its sub-menu.
        auto example = [](QMenu* menu, int command) {
            QList<QAction*> actions = menu->actions();
            for (int i = 0; i < actions.size(); ++i) {
                if (QMenu* sub = actions[i]->menu()) {
                    actions += sub->actions();
                } else if (!actions[i]->isSeparator() && actions[i]->data().toInt() == command) {
                    const QString shown = actions[i]->text();
                    return shown.contains('\t') ? shown.section('\t', 1) : QStringLiteral("-");
                }
            }
            return QStringLiteral("no entry");
        };
        struct Row {
            int command;
            const char* fromPicture;
            const char* withoutPicture;  // "-": nothing beside the entry
        };
        const Row rows[] = {
            {8, "F5.6", "F5.6"},                     // Aperture
            {7, "1/125\"", "1/125\""},               // Shutter
            {4, "600 x 400", "800 x 533"},           // ImageSize
            {5, "coffee-exif.jpg", "IMG_0001.JPG"},  // Filename
            {9, "2024:05:01", "2024:05:01"},         // ShotDate
            {33437, "F5.6", "-"},                    // FNumber, under "more"
            {33432, "CC0", "-"},                     // Copyright
            {1, "-", "-"},                           // UserName: none kept
        };
        std::unique_ptr<QMenu> withPicture(buildTagMenu(nullptr, {&picture, &exif}));
        std::unique_ptr<QMenu> without(buildTagMenu(nullptr));
        for (const Row& row : rows) {
            QCOMPARE(example(withPicture.get(), row.command), QString::fromUtf8(row.fromPicture));
            QCOMPARE(example(without.get(), row.command), QString::fromUtf8(row.withoutPicture));
        }
        // The page asks its source each time the menu opens.
        OverlayPage page(OverlayPage::Kind::Signature);
        int asked = 0;
        page.setTagPictureSource([&] {
            ++asked;
            return TagPicture{&picture, &exif};
        });
        page.show();
        child<QCheckBox>(page, "enable")->setChecked(true);
        pickTag(page, 8, false);
        QCOMPARE(asked, 1);
    }

    void fontDialogChoiceBecomesTheTextFontAndColour()
    {
        OverlayPage page(OverlayPage::Kind::Signature);
        page.show();
        child<QCheckBox>(page, "enable")->setChecked(true);
        QTimer::singleShot(0, [] {
            QTRY_VERIFY(qobject_cast<FontDialog*>(QApplication::activeModalWidget()));
            auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
            auto* face = dialog->findChild<QComboBox*>("face");
            face->setCurrentText(QStringLiteral("DejaVu Sans"));
            auto* size = dialog->findChild<QComboBox*>("size");
            size->setCurrentText(QStringLiteral("20"));
            auto* style = dialog->findChild<QComboBox*>("style");
            style->setCurrentIndex(1);
            emit style->activated(1);
            dialog->findChild<QCheckBox*>("underline")->setChecked(true);
            auto* colour = dialog->findChild<ColourButton*>("colour");
            colour->showPopup();
            QTest::mouseClick(colour->popup()->cell(3), Qt::LeftButton);  // white
            QVERIFY(!dialog->previewImage().isNull());
            dialog->accept();
        });
        page.chooseFont();
        const OverlaySettings settings = page.settings();
        QCOMPARE(settings.font.faceName, std::string("DejaVu Sans"));
        QCOMPARE(settings.font.height, -27);
        QCOMPARE(settings.font.weight, 700);
        QVERIFY(settings.font.underline);
        QVERIFY(!settings.font.italic);
        QCOMPARE(settings.textColour, 0xFFFFFFu);
        auto* box = child<QPlainTextEdit>(page, "text");
        QCOMPARE(box->font().pixelSize(), 27);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::black));  // white on black
    }

    void settingsShowAndReadBackUnchanged()
    {
        OverlaySettings wanted = OverlaySettings::signature();
        wanted.enabled = true;
        wanted.mode = OverlayMode::Picture;
        wanted.horizontal = 1;
        wanted.vertical = 0;
        wanted.offsetX = -1.5;
        wanted.offsetY = 0.125;
        wanted.unit = 1;
        wanted.opacity = 40;
        wanted.text = "line one\n<ShotDate/>";
        wanted.font.faceName = "DejaVu Serif";
        wanted.font.height = -30;
        wanted.textColour = 0x123456;
        wanted.setPicture(test::makeGradient(5, 4));
        wanted.setTransparentColour(0x00FF00);
        OverlayPage page(OverlayPage::Kind::Watermark);
        page.setSettings(wanted);
        const OverlaySettings shown = page.settings();
        QCOMPARE(shown.enabled, true);
        QCOMPARE(shown.mode, OverlayMode::Picture);
        QCOMPARE(shown.horizontal, 1);
        QCOMPARE(shown.vertical, 0);
        QCOMPARE(shown.offsetX, -1.5);
        QCOMPARE(shown.offsetY, 0.125);
        QCOMPARE(shown.unit, 1);
        QCOMPARE(shown.opacity, 40);
        QCOMPARE(shown.text, wanted.text);
        QCOMPARE(shown.font, wanted.font);
        QCOMPARE(shown.textColour, 0x123456u);
        QCOMPARE(shown.transparentColour, 0x00FF00);
        QCOMPARE(shown.picture.colourKey().low, 0x0000FF00u);
        QCOMPARE(child<ColourButton>(page, "transparentColour")->colour(), 0x00FF00);
        // The unit list's change afterwards converts from the unit shown, not the old one.
        page.setCurrentImageDpi(100);
        auto* unit = child<QComboBox>(page, "unit");
        unit->setCurrentIndex(unit->findData(0));
        QCOMPARE(fieldText(page, "offsetX"), QStringLiteral("-150"));
    }
};

QTEST_MAIN(OverlayPageTest)
#include "overlay_page_test.moc"
