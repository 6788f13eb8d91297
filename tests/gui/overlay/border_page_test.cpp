// The border page: initial values, both presets, equal sides, unit changes, the mat picture,
// the enable and opacity rules and the settings handed to the job.
#include "gui/overlay/border_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/controls/colour_button.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

template <typename T>
T* child(QWidget& page, const QString& name)
{
    T* found = page.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QString field(QWidget& page, const QString& name)
{
    return child<QLineEdit>(page, name)->text();
}

QStringList sides(QWidget& page, const QString& group)
{
    QStringList texts;
    for (const char* side : {"Top", "Bottom", "Left", "Right"})
        texts << field(page, group + QLatin1String(side));
    return texts;
}

void setUnit(QWidget& page, const QString& group, int unit)
{
    auto* list = child<QComboBox>(page, group + QStringLiteral("Unit"));
    list->setCurrentIndex(list->findData(unit));
}

// Changes every control away from both presets.
void scramble(BorderPage& page)
{
    for (const QString& group : {QStringLiteral("mat"), QStringLiteral("border")}) {
        setUnit(page, group, 3);
        for (const char* side : {"Top", "Bottom", "Left", "Right"})
            child<QLineEdit>(page, group + QLatin1String(side))->setText("7.5");
        child<QCheckBox>(page, group + QStringLiteral("Equal"))->setChecked(true);
        child<ColourButton>(page, group + QStringLiteral("Colour"))->setColour(0x123456);
    }
    child<QCheckBox>(page, "matPicture")->setChecked(true);
    child<QLineEdit>(page, "matPath")->setText("/somewhere/mat.jpg");
    child<QLineEdit>(page, "opacity")->setText("40");
    child<QCheckBox>(page, "inside")->setChecked(true);
}

}  // namespace

class BorderPageTest : public QObject {
    Q_OBJECT
private slots:
    void startsDisabledWithTheWhiteMatBlackBorderPreset()
    {
        BorderPage page;
        QVERIFY(!child<QCheckBox>(page, "enable")->isChecked());
        QVERIFY(!child<QWidget>(page, "preset")->isEnabled());
        QCOMPARE(child<QComboBox>(page, "preset")->currentIndex(), 1);
        QCOMPARE(sides(page, "mat"), QStringList({"17", "32", "17", "17"}));
        QCOMPARE(sides(page, "border"), QStringList({"1", "1", "1", "1"}));
        const BorderSettings settings = page.settings();
        const BorderSettings initial = BorderSettings::initial();
        QCOMPARE(settings.mat, initial.mat);
        QCOMPARE(settings.border, initial.border);
        QCOMPARE(settings.matColour, 0xFFFFFF);
        QCOMPARE(settings.borderColour, 0x000000);
        QCOMPARE(settings.opacity, 100);
        QVERIFY(!settings.inside && !settings.matPicture && !settings.enabled);
    }

    void bothPresetsFillEveryField()
    {
        struct Row {
            int preset;
            int matColour, borderColour;
            const char* border;
        };
        for (const Row& row : {Row{0, 0x000000, 0xFFFFFF, "2"}, Row{1, 0xFFFFFF, 0x000000, "1"}}) {
            BorderPage page;
            child<QCheckBox>(page, "enable")->setChecked(true);
            scramble(page);
            auto* preset = child<QComboBox>(page, "preset");
            preset->setCurrentIndex(row.preset);
            emit preset->activated(row.preset);
            QCOMPARE(sides(page, "mat"), QStringList({"17", "32", "17", "17"}));
            QCOMPARE(sides(page, "border"), QStringList(4, row.border));
            for (const QString& group : {QStringLiteral("mat"), QStringLiteral("border")}) {
                QCOMPARE(child<QComboBox>(page, group + "Unit")->currentData().toInt(), 0);
                QVERIFY(!child<QCheckBox>(page, group + "Equal")->isChecked());
            }
            QCOMPARE(child<ColourButton>(page, "matColour")->colour(), row.matColour);
            QCOMPARE(child<ColourButton>(page, "borderColour")->colour(), row.borderColour);
            QVERIFY(!child<QCheckBox>(page, "matPicture")->isChecked());
            QVERIFY(field(page, "matPath").isEmpty());
            QCOMPARE(field(page, "opacity"), QStringLiteral("100"));
            QVERIFY(!child<QCheckBox>(page, "inside")->isChecked());
            QVERIFY(page.settings().enabled);  // a preset leaves the page enabled

            BorderSettings expected = BorderSettings::initial();
            expected.applyPreset(row.preset);
            const BorderSettings shown = page.settings();
            QCOMPARE(shown.mat, expected.mat);
            QCOMPARE(shown.border, expected.border);
        }
    }

    void equalSidesCopyTheTopAndThenEveryTypedWidth()
    {
        BorderPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        child<QCheckBox>(page, "enable")->setChecked(true);
        for (const QString& group : {QStringLiteral("mat"), QStringLiteral("border")}) {
            const QString other = group == "mat" ? "border" : "mat";
            const QStringList otherBefore = sides(page, other);
            child<QLineEdit>(page, group + "Top")->setText("9");
            child<QCheckBox>(page, group + "Equal")->setChecked(true);
            QCOMPARE(sides(page, group), QStringList(4, "9"));

            auto* left = child<QLineEdit>(page, group + "Left");
            left->setFocus();
            left->selectAll();
            QTest::keyClicks(left, "4.25");
            QCOMPARE(sides(page, group), QStringList(4, "4.25"));
            QCOMPARE(sides(page, other), otherBefore);  // the other group is left alone

            child<QCheckBox>(page, group + "Equal")->setChecked(false);
            left->selectAll();
            QTest::keyClicks(left, "6");
            QCOMPARE(sides(page, group), QStringList({"4.25", "4.25", "6", "4.25"}));
        }
    }

    void unitChangeConvertsTheFourWidthsOfItsGroup()
    {
        BorderPage page;
        page.setCurrentImageDpi(300);
        child<QLineEdit>(page, "matTop")->setText("300");
        child<QLineEdit>(page, "matLeft")->setText("30");
        setUnit(page, "mat", 2);
        QCOMPARE(sides(page, "mat"), QStringList({"2.54", "0.271", "0.254", "0.144"}));
        QCOMPARE(sides(page, "border"), QStringList(4, "1"));  // the border keeps its unit
        setUnit(page, "mat", 0);
        QCOMPARE(sides(page, "mat"), QStringList({"300", "32", "30", "17"}));
        setUnit(page, "border", 1);
        QCOMPARE(sides(page, "border"), QStringList(4, "0.003"));
        QCOMPARE(page.settings().border.unit, 1);
    }

    void browseShowsThePathAndTicksThePictureBox()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("mat.png");
        QImage(8, 8, QImage::Format_RGB32).save(path);
        BorderPage page;
        page.show();
        child<QCheckBox>(page, "enable")->setChecked(true);
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(child<QPushButton>(page, "browse"), Qt::LeftButton);
        QCOMPARE(field(page, "matPath"), path);
        QVERIFY(child<QCheckBox>(page, "matPicture")->isChecked());
        QCOMPARE(page.settings().matPicturePath, path.toStdString());
        QVERIFY(page.settings().matPicture);
    }

    void enableBoxAndOpacityFocusRule()
    {
        BorderPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        auto* enable = child<QCheckBox>(page, "enable");
        for (bool on : {true, false, true}) {
            enable->setChecked(on);
            for (const char* name : {"preset", "matTop", "matUnit", "matColour", "browse",
                                     "borderRight", "opacity", "inside"})
                QVERIFY2(child<QWidget>(page, name)->isEnabled() == on, name);
        }
        auto* opacity = child<QLineEdit>(page, "opacity");
        opacity->setFocus();
        opacity->selectAll();
        QTest::keyClicks(opacity, "300");
        child<QLineEdit>(page, "matTop")->setFocus();
        QTRY_COMPARE(opacity->text(), QStringLiteral("100"));
        opacity->setText("50");
        QCOMPARE(page.settings().opacity, 50);
        child<ColourButton>(page, "matColour")->setColour(-1);
        QCOMPARE(page.settings().matColour, -1);
    }
};

QTEST_MAIN(BorderPageTest)
#include "border_page_test.moc"
