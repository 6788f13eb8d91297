// The EXIF editor dialog as a user types into it: keystroke rules, lists, combos, Reset and OK.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "engine/image.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "gui/exif/equipment_combo.h"
#include "gui/exif/exif_editor_dialog.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

QComboBox* combo(QWidget& dialog, const char* name)
{
    auto* found = dialog.findChild<QComboBox*>(name);
    if (found == nullptr)
        qFatal("no combo %s", name);
    return found;
}

QLineEdit* lineOf(QWidget& dialog, const char* name)
{
    if (auto* edit = dialog.findChild<QLineEdit*>(name))
        return edit;
    return combo(dialog, name)->lineEdit();
}

void click(QWidget& dialog, const char* button)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// A model a camera could have written, with a Flash value no list row names.
void fillCameraModel(ExifData& exif)
{
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "Canon");
    setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Create), "Canon EOS 300D DIGITAL");
    setRationalValue(exif.FindEntry(kIfd0, 282, EntryLookup::Create), 180);
    setShortValue(exif.FindEntry(kIfd0, 296, EntryLookup::Create), 2);
    setRationalValue(exif.FindEntry(kExifIfd, 33434, EntryLookup::Create), 1.0 / 60);
    setShortValue(exif.FindEntry(kExifIfd, 34855, EntryLookup::Create), 200);
    setShortValue(exif.FindEntry(kExifIfd, 37385, EntryLookup::Create), 3);
    setTextValue(exif.FindEntry(kExifIfd, 36867, EntryLookup::Create), "2004:09:19 12:25:20");
    setTextValue(exif.FindEntry(kExifIfd, 36868, EntryLookup::Create),
                 "2004:02:30 12:25:20");  // no such day
}

}  // namespace

class ExifEditorTypingTest : public QObject {
    Q_OBJECT

private slots:
    void typedKeysFollowTheFieldRules()
    {
        ExifData exif;
        ExifEditorDialog dialog(exif, {640, 480, 72});
        const struct {
            const char* field;
            const char* typed;
            const char* shown;
        } cases[] = {
            {"shutter", "1/125", "1/125"},
            {"shutter", "1//2", "1/2"},
            {"shutter", "1/2.5", "1/25"},
            {"shutter", "-1", "1"},
            {"shutter", "1/12345", "1/1234"},
            {"iso", "12345", "1234"},
            {"iso", "4.5", "45"},
            {"exposureCompensation", "-2/3", "-2/3"},
            {"exposureCompensation", "2-/3", "2/3"},
            {"aperture", "5.6.", "5.6"},
            {"focalLength35mm", "50.5", "505"},
            {"width", "123456", "12345"},
            {"resolution", "300.1234", "300.123"},
            {"focusDistance", "2.5x", "2.5"},
        };
        for (const auto& c : cases) {
            QLineEdit* edit = lineOf(dialog, c.field);
            edit->clear();
            QTest::keyClicks(edit, c.typed);
            QCOMPARE(edit->text(), QString(c.shown));
        }

        QLineEdit* artist = lineOf(dialog, "artist");
        artist->clear();
        // Three UTF-8 bytes each: the limit counts characters, not bytes.
        for (int i = 0; i < 130; ++i)
            QTest::sendKeyEvent(QTest::Click, artist, Qt::Key_unknown, QString(QChar(u'镜')),
                                Qt::NoModifier);
        QCOMPARE(artist->text().size(), 128);

        // A paste that would break the rule is refused whole; a good one goes in.
        QLineEdit* shutter = lineOf(dialog, "shutter");
        shutter->setText("1/");
        shutter->end(false);
        QApplication::clipboard()->setText("12/3");
        shutter->paste();
        QCOMPARE(shutter->text(), QString("1/"));
        QApplication::clipboard()->setText("60");
        shutter->paste();
        QCOMPARE(shutter->text(), QString("1/60"));

        // The infinity item is not a number, but it can still be deleted key by key.
        QComboBox* distance = combo(dialog, "focusDistance");
        distance->setCurrentIndex(0);
        const int length = int(distance->currentText().size());
        distance->lineEdit()->end(false);
        QTest::keyClick(distance->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(distance->currentText().size(), length - 1);
        QTest::keyClicks(distance->lineEdit(), "5");
        QCOMPARE(distance->currentText().size(), length - 1);
    }

    void namedListsKeepValuesTheyDoNotName()
    {
        ExifData exif;
        fillCameraModel(exif);
        ExifEditorDialog dialog(exif, {640, 480, 72});
        QComboBox* flash = combo(dialog, "flash");
        QCOMPARE(flash->currentText(), QString("0003.H"));
        QCOMPARE(flash->currentData().toInt(), 3);
        QCOMPARE(flash->findText("0003.H"), flash->count() - 1);
        QVERIFY(combo(dialog, "meteringMode")->count() > 1);
        click(dialog, "okButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(exif.GetNumber(kExifIfd, 37385, 0), 3.0);
    }

    void equipmentCombosFillOnFocus()
    {
        ExifData exif;
        ExifEditorDialog dialog(exif, {640, 480, 72});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QComboBox* lens = combo(dialog, "lens");
        QCOMPARE(lens->count(), 0);
        lens->setFocus(Qt::TabFocusReason);
        const int lensRows = int(equipmentRows(EquipmentTable::Lenses).size());
        QTRY_COMPARE(lens->count(), lensRows);
        QCOMPARE(lens->itemText(0), QString("Arca Swiss F 6x9"));
        combo(dialog, "film")->setFocus(Qt::TabFocusReason);
        lens->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(lens->hasFocus());
        QCOMPARE(lens->count(), lensRows);  // a second focus adds nothing

        QComboBox* maker = combo(dialog, "make");
        QCOMPARE(maker->count(), 37);
        QComboBox* model = combo(dialog, "model");
        const struct {
            const char* maker;
            int rows;
        } cases[] = {{"Canon", 116}, {"  can ", 116}, {"Nikon", 106}, {"", 999}, {"Zeiss", 0}};
        for (const auto& c : cases) {
            maker->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(maker->hasFocus());
            maker->lineEdit()->selectAll();
            QTest::keyClicks(maker->lineEdit(), c.maker);
            if (QString(c.maker).isEmpty())
                QTest::keyClick(maker->lineEdit(), Qt::Key_Delete);
            model->setEditText("kept");
            model->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(model->hasFocus());
            QCOMPARE(model->count(), c.rows);
            const QString prefix = QString(c.maker).trimmed();
            for (int i = 0; i < model->count(); ++i)
                QVERIFY(model->itemText(i).startsWith(prefix, Qt::CaseInsensitive));
            QCOMPARE(model->currentIndex(), -1);
            QCOMPARE(model->currentText(), QString("kept"));
            QCOMPARE(model->lineEdit()->selectedText(), QString("kept"));
        }
        // Choosing an item puts brand, blank and model into the field, and OK stores it.
        model->setCurrentIndex(model->findText("Canon EOS 300D", Qt::MatchStartsWith));
        maker->setFocus(Qt::TabFocusReason);
        maker->setEditText("Canon");
        model->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(model->count() == 116);
        model->setCurrentIndex(model->findText("Canon EOS 300D", Qt::MatchStartsWith));
        const QString chosen = model->currentText();
        QVERIFY(chosen.startsWith("Canon EOS 300D"));
        click(dialog, "okButton");
        QCOMPARE(QString::fromStdString(exif.GetText(kIfd0, 272, "en_US")), chosen);
    }

    void resetRestoresWhatWasLoaded()
    {
        ExifData exif;
        fillCameraModel(exif);
        ExifEditorDialog dialog(exif, {640, 480, 72});
        auto* digitized = dialog.findChild<QDateTimeEdit*>("dateTimeDigitized");
        auto* original = dialog.findChild<QDateTimeEdit*>("dateTimeOriginal");
        QCOMPARE(original->text(), QString("2004-09-19 12:25:20"));
        // A day the calendar lacks leaves the picker at the time it had.
        QVERIFY(digitized->dateTime().date().year() >= 2024);

        const QStringList fields = {"shutter", "iso", "make", "model", "artist", "resolution"};
        QStringList loaded;
        for (const QString& f : fields) loaded << lineOf(dialog, f.toLatin1())->text();
        QCOMPARE(loaded[0], QString("1/60"));
        QCOMPARE(loaded[5], QString("180.00"));
        for (const QString& f : fields) {
            QLineEdit* edit = lineOf(dialog, f.toLatin1());
            edit->selectAll();
            QTest::keyClicks(edit, "9");
        }
        combo(dialog, "flash")->setCurrentIndex(0);
        combo(dialog, "resolutionUnit")->setCurrentIndex(1);
        original->setDateTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
        digitized->setDateTime(QDateTime(QDate(2019, 1, 2), QTime(3, 4, 5)));

        click(dialog, "resetButton");
        QStringList after;
        for (const QString& f : fields) after << lineOf(dialog, f.toLatin1())->text();
        QCOMPARE(after, loaded);
        QCOMPARE(combo(dialog, "flash")->currentText(), QString("0003.H"));
        QCOMPARE(combo(dialog, "resolutionUnit")->currentIndex(), 0);
        QCOMPARE(original->text(), QString("2004-09-19 12:25:20"));
        QCOMPARE(digitized->dateTime(), QDateTime(QDate(2019, 1, 2), QTime(3, 4, 5)));
    }

    void okOnAPictureWithoutExifCreatesTheDefaults()
    {
        ExifData exif;
        ExifEditorDialog dialog(exif, {640, 480, 96});
        QVERIFY(!dialog.findChild<QPushButton*>("writeButton")->isEnabled());
        QVERIFY(!dialog.findChild<QPushButton*>("deleteButton")->isEnabled());
        QCOMPARE(lineOf(dialog, "width")->text(), QString("640"));
        QCOMPARE(lineOf(dialog, "height")->text(), QString("480"));
        QCOMPARE(lineOf(dialog, "resolution")->text(), QString("96.00"));
        QTest::keyClicks(lineOf(dialog, "shutter"), "1/125");
        click(dialog, "okButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!exif.IsEmpty());
        QCOMPARE(exif.GetNumber(kExifIfd, 40962, 0), 640.0);
        QCOMPARE(exif.GetNumber(kExifIfd, 40963, 0), 480.0);
        QCOMPARE(exif.GetNumber(kIfd0, 282, 0), 96.0);
        QCOMPARE(QString::fromStdString(exif.GetText(kExifIfd, 36864, "en_US")), QString("0221"));
        QVERIFY(exif.FindEntry(kIfd0, 305) != nullptr);
        ExifEntry::Fraction t = exif.FindEntry(kExifIfd, 33434)->GetFraction(0);
        QCOMPARE(double(t.numerator) / double(t.denominator), 0.008);
        QCOMPARE(dialog.pictureResolution(), 96.0);
        // Nothing the user did not give: no zero ISO, focal length or distance, no flash
        // reading, no "taken" time that is only when the editor opened.
        for (std::uint16_t tag : {34855, 37386, 37382, 37385, 36867, 36868, 41989})
            QVERIFY2(exif.FindEntry(kExifIfd, tag) == nullptr, qPrintable(QString::number(tag)));
    }

    void longEquipmentNamesShowWhole()
    {
        const std::string lens = "Canon EF 28-135mm f/3.5-5.6 IS USM with a long name";
        ExifData exif;
        exif.CreateDefaultEntries(640, 480, 72, 72);
        setTextValue(exif.FindEntry(kExifIfd, 44993, EntryLookup::Create), lens);
        ExifEditorDialog dialog(exif, {640, 480, 72});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* combo = dialog.findChild<EquipmentCombo*>("lens");
        QCOMPARE(combo->currentText(), QString::fromStdString(lens));
        QCOMPARE(combo->lineEdit()->cursorPosition(), 0);
        for (const char* name : {"lens", "film", "filterLens", "scanner", "flashLamp"}) {
            auto* list = dialog.findChild<EquipmentCombo*>(name);
            list->fillForFocus();
            QVERIFY(list->count() > 0);
            int widest = 0;
            for (int i = 0; i < list->count(); ++i)
                widest = std::max(widest,
                                  list->view()->fontMetrics().horizontalAdvance(list->itemText(i)));
            QVERIFY2(list->view()->minimumWidth() > widest, name);
        }
    }

    void leavingAZeroResolutionPutsBack72()
    {
        ExifData exif;
        ExifEditorDialog dialog(exif, {640, 480, 96});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit* resolution = lineOf(dialog, "resolution");
        resolution->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(resolution->hasFocus());
        resolution->selectAll();
        QTest::keyClicks(resolution, "0");
        lineOf(dialog, "width")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(resolution->text(), QString("72.00"));
    }

    void editPictureGivesThePictureTheResolution()
    {
        const struct {
            int unitIndex;
            const char* typed;
            float dpi;
        } cases[] = {{0, "300", 300.0f}, {1, "100", 254.0f}};
        for (const auto& c : cases) {
            ExifData exif;
            Image picture = test::makeGradient(32, 24, 72.0f);
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<ExifEditorDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                combo(*dialog, "resolutionUnit")->setCurrentIndex(c.unitIndex);
                QLineEdit* resolution = lineOf(*dialog, "resolution");
                resolution->selectAll();
                QTest::keyClicks(resolution, c.typed);
                click(*dialog, "okButton");
            });
            QVERIFY(ExifEditorDialog::editPicture(nullptr, exif, picture));
            QCOMPARE(picture.dpi(), c.dpi);
        }
        // Cancel leaves the picture and its model alone.
        ExifData exif;
        Image picture = test::makeGradient(32, 24, 72.0f);
        QTimer::singleShot(0, [] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            click(*dialog, "cancelButton");
        });
        QVERIFY(!ExifEditorDialog::editPicture(nullptr, exif, picture));
        QVERIFY(exif.IsEmpty());
        QCOMPARE(picture.dpi(), 72.0f);
    }
};

QTEST_MAIN(ExifEditorTypingTest)
#include "exif_editor_typing_test.moc"
