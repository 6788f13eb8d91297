// Typing over a selection in every typed field of the EXIF editor: the field's rule holds.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "exif/exif_tags.h"
#include "gui/exif/exif_editor_dialog.h"
#include "gui/exif/exif_field_validator.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

// Lists and date pickers take any text; every other field has a rule to keep.
bool isTyped(EditorField field)
{
    return !acceptsFieldText(field, std::string(20000, 'x'));
}

// The longest run of 'a' the field takes (text fields limit only the length).
int longestText(EditorField field)
{
    int low = 0, high = 20000;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (acceptsFieldText(field, std::string(std::size_t(middle), 'a')))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

void selectAllByKey(QWidget* edit)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
}

}  // namespace

class ExifEditorSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void keysOverASelectionKeepEveryFieldsRule()
    {
        ExifData exif;
        ExifEditorDialog dialog(exif, {640, 480, 72});
        EditorFieldSet typed, seen;
        for (std::size_t i = 0; i < kEditorFieldCount; ++i) typed.set(i, isTyped(EditorField(i)));
        QVERIFY(typed.count() > 20);

        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
            const auto* validator = qobject_cast<const ExifFieldValidator*>(edit->validator());
            if (validator == nullptr)
                continue;  // the date pickers' own edits
            const EditorField field = validator->field();
            seen.set(std::size_t(field));
            const QString name = edit->parentWidget()->objectName() + "/" + edit->objectName();
            const int longest = longestText(field);
            if (longest >= 128) {
                // No single key can break a length limit over a selection; a paste can.
                const QString full(longest, u'a');
                edit->setText(full);
                edit->setSelection(3, 1);
                QApplication::clipboard()->setText("xy");
                edit->paste();
                QVERIFY2(edit->text() == full, qPrintable(name));
                edit->setSelection(3, 1);
                QTest::keyClicks(edit, "x");
                QVERIFY2(edit->text() == QString(full).replace(3, 1, "x"), qPrintable(name));
                continue;
            }
            int refused = 0;
            for (const char* key : {"x", "f", "z", "-", "/", ".", " "}) {
                const bool allowed = acceptsFieldText(field, key);
                refused += allowed ? 0 : 1;
                edit->setText("12");
                selectAllByKey(edit);
                QVERIFY2(edit->selectedText() == "12", qPrintable(name));
                QTest::keyClicks(edit, key);
                QVERIFY2(edit->text() == (allowed ? QString(key) : QString("12")),
                         qPrintable(name + " whole, " + key));
                // A part of the text selected: the rest of it counts too.
                edit->setText("1.5");
                edit->setSelection(2, 1);
                QTest::keyClicks(edit, key);
                const QString partly = QString("1.") + key;
                QVERIFY2(edit->text() ==
                             (acceptsFieldText(field, partly.toStdString()) ? partly : "1.5"),
                         qPrintable(name + " part, " + key));
            }
            QVERIFY2(refused >= 3, qPrintable(name));
            edit->setText("12");
            selectAllByKey(edit);
            QTest::keyClicks(edit, "5");
            QVERIFY2(edit->text() == "5", qPrintable(name));
            // Deleting a selection always passes.
            selectAllByKey(edit);
            QTest::keyClick(edit, Qt::Key_Delete);
            QVERIFY2(edit->text().isEmpty(), qPrintable(name));
        }

        // The comment has no validator: a change that breaks its rule is undone whole.
        auto* comment = dialog.findChild<QPlainTextEdit*>("userComment");
        QVERIFY(comment != nullptr);
        seen.set(std::size_t(EditorField::UserComment));
        const QString full(longestText(EditorField::UserComment), u'a');
        comment->setPlainText(full);
        QTextCursor cursor = comment->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        comment->setTextCursor(cursor);
        QApplication::clipboard()->setText("xy");
        comment->paste();
        QCOMPARE(comment->toPlainText(), full);
        selectAllByKey(comment);
        QTest::keyClicks(comment, "x");
        QCOMPARE(comment->toPlainText(), QString("x"));

        QCOMPARE(seen, typed);
    }

    void theLoadedValuesSurviveALetterOverThem()
    {
        ExifData exif;
        setRationalValue(exif.FindEntry(kExifIfd, kTagExposureTime, EntryLookup::Create),
                         1.0 / 250);
        setRationalValue(exif.FindEntry(kExifIfd, kTagFNumber, EntryLookup::Create), 5.6);
        setShortValue(exif.FindEntry(kExifIfd, kTagISOSpeedRatings, EntryLookup::Create), 400);
        ExifEditorDialog dialog(exif, {640, 480, 72});
        for (auto [name, key] : {std::pair{"shutter", "x"}, {"aperture", "f"}, {"iso", "z"}}) {
            QLineEdit* edit = dialog.findChild<QComboBox*>(name)->lineEdit();
            const QString before = edit->text();
            QVERIFY(!before.isEmpty());
            selectAllByKey(edit);
            QTest::keyClicks(edit, key);
            QCOMPARE(edit->text(), before);
        }
        // The infinity item is not a number: a letter over it is refused all the same.
        QComboBox* distance = dialog.findChild<QComboBox*>("focusDistance");
        distance->setCurrentIndex(0);
        const QString infinity = distance->currentText();
        QVERIFY(!infinity.isEmpty());
        selectAllByKey(distance->lineEdit());
        QTest::keyClicks(distance->lineEdit(), "x");
        QCOMPARE(distance->currentText(), infinity);
        QTest::keyClicks(distance->lineEdit(), "5");
        QCOMPARE(distance->currentText(), QString("5"));

        const double before[] = {exif.GetNumber(kExifIfd, 33434, 0),
                                 exif.GetNumber(kExifIfd, 33437, 0),
                                 exif.GetNumber(kExifIfd, 34855, 0)};
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        const ExifEntry::Fraction t = exif.FindEntry(kExifIfd, 33434)->GetFraction(0);
        QCOMPARE(t.numerator * 250, t.denominator);
        QCOMPARE(exif.GetNumber(kExifIfd, 33437, 0), before[1]);
        QCOMPARE(exif.GetNumber(kExifIfd, 34855, 0), before[2]);
        QCOMPARE(before[2], 400.0);
        QVERIFY(before[0] > 0 && before[1] > 5.5);
    }
};

QTEST_MAIN(ExifEditorSelectionTest)
#include "exif_editor_selection_test.moc"
