// The three setting pages through their widgets: Apply draws exactly what tavelune-cli draws.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "engine/format_dispatch.h"
#include "gui/app/photo_page.h"
#include "gui/controls/colour_button.h"
#include "gui/overlay/border_page.h"
#include "gui/overlay/overlay_page.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

const QString kCamera = QStringLiteral(TAVELUNE_FIXTURES_DIR "/camera/canon-powershot-s40.jpg");
const QString kLogo = QStringLiteral(TAVELUNE_SAMPLES_DIR "/astronaut.jpg");
const QString kSignature = QStringLiteral("<DateTimeOriginal/>  f/<FNumber/>");

template <typename T>
T* child(QWidget* page, const char* name)
{
    T* found = page->findChild<T*>(QLatin1String(name));
    if (!found) {
        qFatal("no %s", name);
    }
    return found;
}

void typeInto(QLineEdit* field, const QString& value)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, value);
    field->clearFocus();
}

}  // namespace

class OverlayApplyTest : public QObject {
    Q_OBJECT
private slots:
    void pagesDrivenByHandMatchTheCommandLine()
    {
        test::PrivateSettings settings;
        setActiveLanguagePack(nullptr);
        PhotoPage page(test::makeGradient(8, 8), test::makeGradient(8, 8));
        page.resize(1000, 650);
        page.show();
        QVERIFY(test::openAndWait(page, kCamera));

        auto* watermark = page.findChild<OverlayPage*>("watermarkPage");
        child<QCheckBox>(watermark, "enable")->setChecked(true);
        child<QRadioButton>(watermark, "pictureMode")->click();
        QVERIFY(watermark->openPicture(kLogo));
        auto* key = child<ColourButton>(watermark, "transparentColour");
        key->setColour(0x00FFFFFF);
        emit key->colourChanged(key->colour());
        typeInto(child<QLineEdit>(watermark, "opacity"), "50");

        auto* signature = page.findChild<OverlayPage*>("signaturePage");
        child<QCheckBox>(signature, "enable")->setChecked(true);
        child<QPlainTextEdit>(signature, "text")->setPlainText(kSignature);

        auto* border = page.findChild<BorderPage*>("borderPage");
        child<QCheckBox>(border, "enable")->setChecked(true);
        auto* preset = child<QComboBox>(border, "preset");
        preset->setCurrentIndex(1);
        emit preset->activated(1);

        QVERIFY(page.startConversion());
        QVERIFY(QTest::qWaitFor([&] { return !page.isConverting(); }, 30000));
        const Image& shown = page.result();
        QVERIFY(!shown.isEmpty());
        // The frame makes the result larger than the working picture.
        QVERIFY(shown.width() > page.source().width());

        QTemporaryDir dir;
        const QString output = dir.path() + "/cli.bmp";
        QProcess cli;
        cli.start(QStringLiteral(TAVELUNE_CLI_PATH),
                  {"convert", "--fit", "800", "--lang", "zh_CN", "--watermark-image", kLogo,
                   "--watermark-key", "FFFFFF", "--watermark-opacity", "50", "--signature-text",
                   kSignature, "--border-preset", "white-black", kCamera, output});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        Image expected;
        QVERIFY(openImage(output.toStdString(), expected));
        QCOMPARE(shown.width(), expected.width());
        QCOMPARE(shown.height(), expected.height());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                differing +=
                    (shown.pixelAt(x, y) | 0xFF000000u) != (expected.pixelAt(x, y) | 0xFF000000u);
            }
        }
        QCOMPARE(differing, 0);
    }
};

QTEST_MAIN(OverlayApplyTest)
#include "overlay_apply_test.moc"
