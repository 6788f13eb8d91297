// Film page: the film box and film type rules, tooltips, and settings() read from the controls.
#include "gui/film/film_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <cstring>
#include <memory>

#include "engine/fit_within.h"
#include "film/film_registry.h"
#include "film/film_settings.h"
#include "film/film_step.h"
#include "gui/film/film_strip.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

struct Shown {
    bool portrait, highKey, blackCorrection;
};

Shown shownOn(FilmPage& page)
{
    return {page.findChild<QCheckBox*>("portrait")->isVisible(),
            page.findChild<QCheckBox*>("highKey")->isVisible(),
            page.findChild<QCheckBox*>("blackCorrection")->isVisible()};
}

void chooseFilm(FilmPage& page, int listIndex)
{
    auto* list = page.findChild<QComboBox*>("filmType");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < listIndex; ++i) QTest::keyClick(list, Qt::Key_Down);
}

QString settingsText(const FilmSettings& s)
{
    return QString("enabled %1 film %2 exposure %3 portrait %4 highKey %5 black %6 sharp %7 sat %8")
        .arg(s.enabled)
        .arg(s.filmType)
        .arg(s.exposure)
        .arg(s.portrait)
        .arg(s.highKey)
        .arg(s.blackCorrection)
        .arg(s.sharpnessPosition)
        .arg(s.saturation);
}

// The handle's centre height for a slider position; the option is filled from the slider's
// public state the way the slider fills it for painting.
int handleY(QSlider* slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = slider->orientation();
    option.maximum = slider->maximum();
    option.minimum = slider->minimum();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.upsideDown = slider->orientation() == Qt::Horizontal
                            ? slider->invertedAppearance() != (option.direction == Qt::RightToLeft)
                            : !slider->invertedAppearance();
    option.direction = Qt::LeftToRight;
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.sliderPosition = option.sliderValue = value;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center()
        .y();
}

bool samePixels(const Image& a, const Image& b)
{
    return a.width() == b.width() && a.height() == b.height() &&
           std::memcmp(a.pixels(), b.pixels(), a.byteSize()) == 0;
}

// Waits for the strip's newest drawing to land.
bool drawn(const FilmStrip& strip)
{
    return QTest::qWaitFor([&] { return !strip.isDrawing(); }, 10000);
}

}  // namespace

class FilmPageTest : public QObject {
    Q_OBJECT
private slots:
    void slidersSayTheirValues_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("exposure");
        QTest::addColumn<int>("saturation");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");  // exposure | saturation | sharpening level
        QTest::newRow("defaults") << "zh_CN" << 0 << 0 << 5 << "0 EV|0%|0";
        QTest::newRow("a quarter stop up") << "zh_TW" << 1 << 3 << 2 << "+0.25 EV|+30%|3";
        QTest::newRow("extremes") << "en_US" << -8 << -10 << 0 << "-2 EV|-100%|5";
        QTest::newRow("one and a half down") << "en_US" << -6 << 10 << 4 << "-1.5 EV|+100%|1";
        QTest::newRow("seven quarters") << "zh_CN" << 7 << 1 << 1 << "+1.75 EV|+10%|4";
    }

    void slidersSayTheirValues()
    {
        QFETCH(QString, language);
        QFETCH(int, exposure);
        QFETCH(int, saturation);
        QFETCH(int, position);
        QFETCH(QString, shown);
        const test::ActiveLanguage active(language);
        QVERIFY2(active.ok(), qPrintable(active.error()));
        {
            FilmPage page;
            FilmSettings settings;
            settings.exposure = exposure;
            settings.saturation = saturation;
            settings.sharpnessPosition = position;
            page.setSettings(settings);
            const QString values = page.findChild<QLabel*>("exposureValue")->text() + "|" +
                                   page.findChild<QLabel*>("saturationValue")->text() + "|" +
                                   page.findChild<QLabel*>("sharpnessValue")->text();
            QCOMPARE(values, shown);
        }
    }

    void startsFromTheDefaultSettings()
    {
        FilmPage page;
        page.show();
        QCOMPARE(settingsText(page.settings()), settingsText(FilmSettings{}));
        const Shown shown = shownOn(page);
        QVERIFY(shown.portrait && !shown.highKey && !shown.blackCorrection);
        // Sharpness position 5 (no sharpening) sits at the bottom, 0 at the top.
        auto* sharpness = page.findChild<QSlider*>("sharpness");
        QVERIFY(handleY(sharpness, 0) < handleY(sharpness, 5));
    }

    void filmTypeShowsItsOptions_data()
    {
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<int>("filmType");
        QTest::addColumn<bool>("colour");
        QTest::newRow("Velvia") << 0 << 1 << true;
        QTest::newRow("T-Max") << 1 << 5 << false;
        QTest::newRow("E100 VS") << 2 << 4 << true;
        QTest::newRow("Astia") << 3 << 2 << true;
    }
    void filmTypeShowsItsOptions()
    {
        QFETCH(int, listIndex);
        QFETCH(int, filmType);
        QFETCH(bool, colour);
        FilmPage page;
        page.show();
        chooseFilm(page, listIndex);
        QCOMPARE(page.settings().filmType, filmType);
        const Shown shown = shownOn(page);
        QCOMPARE(shown.portrait, colour);
        QCOMPARE(shown.highKey, !colour);
        QCOMPARE(shown.blackCorrection, !colour);
        if (!colour) {
            // The monochrome options take the portrait box's place.
            QCOMPARE(page.findChild<QCheckBox*>("highKey")->geometry().topLeft(),
                     page.findChild<QCheckBox*>("portrait")->geometry().topLeft());
        }
    }

    void hiddenOptionsKeepTheirStateAcrossFilms()
    {
        FilmPage page;
        page.show();
        chooseFilm(page, 1);
        page.findChild<QCheckBox*>("blackCorrection")->click();
        page.findChild<QCheckBox*>("highKey")->click();
        chooseFilm(page, 0);
        QCOMPARE(shownOn(page).blackCorrection, false);
        chooseFilm(page, 1);
        const Shown shown = shownOn(page);
        QVERIFY(shown.highKey && shown.blackCorrection && !shown.portrait);
        QVERIFY(page.settings().blackCorrection);
        QVERIFY(!page.settings().highKey);
    }

    void filmBoxSwitchesEveryOtherControl()
    {
        FilmPage page;
        page.show();
        auto* filmBox = page.findChild<QCheckBox*>("filmEnabled");
        auto* toSrgb = page.findChild<QCheckBox*>("toSrgb");  // colour, not a look: always usable
        QList<QWidget*> others;
        for (QWidget* child : page.findChildren<QWidget*>())
            if (child != filmBox && child != toSrgb &&
                (qobject_cast<QAbstractButton*>(child) || qobject_cast<QComboBox*>(child) ||
                 qobject_cast<QAbstractSlider*>(child)))
                others << child;
        QCOMPARE(others.size(), 12);  // with Export as LUT and the four film previews

        filmBox->click();
        QVERIFY(!page.settings().enabled);
        for (QWidget* control : others)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(filmBox->isEnabled() && toSrgb->isEnabled());

        // A job disables and re-enables the whole page; the cleared box still rules.
        page.setEnabled(false);
        QVERIFY(!filmBox->isEnabled());
        page.setEnabled(true);
        QVERIFY(filmBox->isEnabled());
        for (QWidget* control : others)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));

        filmBox->click();
        for (QWidget* control : others)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    }

    void settingsReadTheControls()
    {
        FilmPage page;
        page.show();
        auto press = [&](const char* name, Qt::Key key, int times = 1) {
            auto* slider = page.findChild<QSlider*>(name);
            slider->setFocus();
            for (int i = 0; i < times; ++i) QTest::keyClick(slider, key);
        };
        chooseFilm(page, 2);
        press("exposure", Qt::Key_Home);
        press("saturation", Qt::Key_Right, 3);
        press("sharpness", Qt::Key_Up, 2);  // towards the top: stronger sharpening
        page.findChild<QCheckBox*>("portrait")->click();
        const FilmSettings s = page.settings();
        FilmSettings expected;
        expected.filmType = 4;
        expected.exposure = -8;
        expected.saturation = 3;
        expected.sharpnessPosition = 3;
        expected.portrait = true;
        QCOMPARE(settingsText(s), settingsText(expected));

        press("exposure", Qt::Key_End);
        press("saturation", Qt::Key_Home);
        QCOMPARE(page.settings().exposure, 8);
        QCOMPARE(page.settings().saturation, -10);
    }

    void setSettingsShowsThemAndRefusesUnknownFilms()
    {
        FilmPage page;
        page.show();
        FilmSettings wanted;
        wanted.enabled = false;
        wanted.filmType = 5;
        wanted.exposure = 3;
        wanted.portrait = true;
        wanted.highKey = false;
        wanted.blackCorrection = true;
        wanted.sharpnessPosition = 1;
        wanted.saturation = -4;
        page.setSettings(wanted);
        QCOMPARE(settingsText(page.settings()), settingsText(wanted));
        QVERIFY(shownOn(page).blackCorrection);
        QVERIFY(!page.findChild<QComboBox*>("filmType")->isEnabled());

        FilmSettings odd;
        odd.filmType = 3;
        odd.exposure = 40;
        page.setSettings(odd);
        QCOMPARE(page.settings().filmType, 1);
        QCOMPARE(page.settings().exposure, 8);
        QVERIFY(shownOn(page).portrait);
    }

    void filmStripShowsEveryFilmAsTheFilmStepDrawsIt()
    {
        FilmPage page;
        page.setFilmStripShown(true);
        page.show();
        const FilmStrip& strip = page.filmStrip();
        const Image first = test::makeGradient(300, 200);
        const Image second = test::makeGradient(120, 360);
        // A newer picture and newer options replace a drawing still under way.
        page.setPreviewPicture(&first);
        page.setPreviewPicture(&second);
        FilmSettings look;
        look.enabled = false;  // the previews still show each film
        look.exposure = 3;
        look.saturation = -4;
        look.sharpnessPosition = 2;
        look.portrait = true;
        look.highKey = false;
        look.blackCorrection = true;
        page.setSettings(look);
        QVERIFY(drawn(strip));

        Image reduced(second);
        QVERIFY(fitWithin(reduced, FilmStrip::kPreviewSide));
        QVERIFY(samePixels(strip.previewSource(), reduced));
        QCOMPARE(strip.previewCount(), int(filmRows().size()));
        for (int i = 0; i < strip.previewCount(); ++i) {
            FilmSettings film = look;
            film.enabled = true;
            film.filmType = filmRows()[size_t(i)].code;
            Image expected;
            QVERIFY(runFilmStep(reduced, expected, film, nullptr, 0));
            QVERIFY2(samePixels(strip.preview(i), expected), filmRows()[size_t(i)].cliName);
        }

        // An option change redraws; no picture clears the previews.
        const Image before = strip.preview(0);
        page.findChild<QSlider*>("exposure")->setValue(-6);
        QVERIFY(drawn(strip));
        QVERIFY(!samePixels(strip.preview(0), before));
        page.setPreviewPicture(nullptr);
        QVERIFY(drawn(strip));
        for (int i = 0; i < strip.previewCount(); ++i) QVERIFY(strip.preview(i).isEmpty());
    }

    void clickingAPreviewChoosesItsFilm()
    {
        FilmPage page;
        page.setFilmStripShown(true);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* list = page.findChild<QComboBox*>("filmType");
        for (const FilmRow& film : filmRows()) {
            auto* preview = page.findChild<QAbstractButton*>(QStringLiteral("filmPreview%1").arg(film.code));
            QVERIFY(preview);
            QTest::mouseClick(preview, Qt::LeftButton);
            QCOMPARE(page.settings().filmType, film.code);
            QCOMPARE(list->currentData().toInt(), film.code);
            QVERIFY(preview->isChecked());
            // The monochrome film's options follow a click as they follow the list.
            QCOMPARE(shownOn(page).highKey, film.options.highKey);
        }
        chooseFilm(page, 0);
        QVERIFY(page.findChild<QAbstractButton*>(
                        QStringLiteral("filmPreview%1").arg(filmRows()[0].code))
                    ->isChecked());
    }

    void tooltipsNameWhatEachControlDoes()
    {
        FilmPage page;
        const std::pair<const char*, const char*> tips[] = {
            {"filmType", "选择要仿真的正片类型"},
            {"exposure", "在正负2EV范围内对照片的曝光量进行补偿"},
            {"portrait", "如果是以人物肖像为主体的图像, 选中此项可以令肤色更自然"},
            {"highKey", "如果图像的主体很明亮, 选中此项可以令中高调部分获得更丰富的细节"},
            {"blackCorrection", "选中此项可以纠正黑白图像在某些输出设备上视觉偏红的问题"},
            {"saturation", "色彩的浓淡程度"},
            {"sharpness", ""},
            {"filmEnabled", ""},
        };
        for (const auto& [name, tip] : tips) {
            auto* control = page.findChild<QWidget*>(name);
            QVERIFY2(control, name);
            QCOMPARE(control->toolTip(), QString::fromUtf8(tip));
        }
    }
};

QTEST_MAIN(FilmPageTest)
#include "film_page_test.moc"
