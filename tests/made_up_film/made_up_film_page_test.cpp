// The made-up film row reaches the desktop program's film page: its list, its option rule, its
// settings and the LUT file it suggests.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "film/film_registry.h"
#include "gui/support/string_table.h"
#include "gui/film/film_page.h"
#include "made_up_film.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

class MadeUpFilmPageTest : public QObject {
    Q_OBJECT

private slots:
    void theListEndsWithTheMadeUpFilm()
    {
        FilmPage page;
        auto* list = page.findChild<QComboBox*>("filmType");
        QCOMPARE(list->count(), 5);
        const int codes[] = {kFilmVelvia, kFilmTmax, kFilmE100Vs, kFilmAstia, kMadeUpFilmRow.code};
        for (int i = 0; i < 5; ++i) QCOMPARE(list->itemData(i).toInt(), codes[i]);
        QCOMPARE(list->itemText(4), text(kMadeUpFilmRow.textId));
        // The core's plain numbers are the string table's named rows for the real films.
        QCOMPARE(findFilm(kFilmVelvia)->textId, int(Strings::FilmVelviaName));
        QCOMPARE(findFilm(kFilmTmax)->textId, int(Strings::FilmTmaxName));
        QCOMPARE(findFilm(kFilmE100Vs)->textId, int(Strings::FilmE100VsName));
        QCOMPARE(findFilm(kFilmAstia)->textId, int(Strings::FilmAstiaName));
    }

    void choosingItShowsTheOptionsItsRowNames()
    {
        FilmPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        FilmSettings settings;
        settings.filmType = kMadeUpFilmRow.code;
        page.setSettings(settings);
        QCOMPARE(page.settings().filmType, kMadeUpFilmRow.code);
        QVERIFY(!page.findChild<QCheckBox*>("portrait")->isVisible());
        QVERIFY(!page.findChild<QCheckBox*>("highKey")->isVisible());
        QVERIFY(!page.findChild<QCheckBox*>("blackCorrection")->isVisible());

        settings.filmType = kFilmAstia;
        page.setSettings(settings);
        QVERIFY(page.findChild<QCheckBox*>("portrait")->isVisible());
    }

    void itsLutIsOfferedUnderItsStem()
    {
        FilmPage page;
        FilmSettings settings;
        settings.filmType = kMadeUpFilmRow.code;
        page.setSettings(settings);
        QString suggested;
        page.setLutPathChooser([&](QWidget*, const QString& offered) {
            suggested = offered;
            return QString();  // cancelled
        });
        QTest::mouseClick(page.findChild<QPushButton*>("exportLut"), Qt::LeftButton);
        QVERIFY2(suggested.endsWith("/madeup-look.cube"), qPrintable(suggested));
    }
};

QTEST_MAIN(MadeUpFilmPageTest)
#include "made_up_film_page_test.moc"
