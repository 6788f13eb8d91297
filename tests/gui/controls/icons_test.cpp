// The drawn button icons: present, visible and distinct at every size, on both backgrounds.
#include "gui/controls/icons.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QSet>
#include <QTest>
#include <QToolButton>

using namespace tavelune::gui;

namespace {

struct Coverage {
    int inked = 0;  // pixels with visible ink
    int total = 0;
    double meanLuma = 0;  // of the inked pixels, weighted by alpha
};

Coverage measure(const QImage& image)
{
    Coverage c;
    double lumaSum = 0, alphaSum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            ++c.total;
            if (colour.alpha() > 64) {
                ++c.inked;
            }
            lumaSum += colour.alphaF() *
                       (0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue());
            alphaSum += colour.alphaF();
        }
    }
    c.meanLuma = alphaSum > 0 ? lumaSum / alphaSum : 0;
    return c;
}

QImage render(ButtonIcon id, IconBackground background, int size, QIcon::Mode mode = QIcon::Normal)
{
    return buttonIcon(id, background)
        .pixmap(QSize(size, size), mode)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

constexpr int kSizes[] = {16, 24, 32, 48};

}  // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A known window theme, so "dark lines on the window" is a property we can check.
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::ButtonText, Qt::black);
        QApplication::setPalette(palette);
    }

    void everyIconIsDrawnAtEverySize()
    {
        for (const auto background : {IconBackground::Window, IconBackground::Dark}) {
            for (const ButtonIcon id : kAllButtonIcons) {
                const QIcon icon = buttonIcon(id, background);
                QVERIFY2(!icon.isNull(), buttonIconName(id));
                for (const int size : kSizes) {
                    const QImage image = render(id, background, size);
                    const QString where =
                        QStringLiteral("%1 at %2 (%3)")
                            .arg(buttonIconName(id))
                            .arg(size)
                            .arg(background == IconBackground::Dark ? "dark" : "window");
                    QCOMPARE(image.size(), QSize(size, size));
                    const Coverage c = measure(image);
                    // Line art: clearly visible, yet mostly transparent (not a filled square).
                    QVERIFY2(c.inked * 100 >= c.total * 5, qPrintable(where + " is nearly blank"));
                    QVERIFY2(c.inked * 100 <= c.total * 60, qPrintable(where + " is a blob"));
                    // A one-pixel margin all round: nothing touches the edge and gets clipped.
                    for (int i = 0; i < size; ++i) {
                        for (const QPoint p : {QPoint(i, 0), QPoint(i, size - 1), QPoint(0, i),
                                               QPoint(size - 1, i)}) {
                            QVERIFY2(image.pixelColor(p).alpha() < 64,
                                     qPrintable(where + " touches its edge"));
                        }
                    }
                }
            }
        }
    }

    void darkVariantIsLightAndWindowVariantFollowsTheTheme()
    {
        for (const ButtonIcon id : kAllButtonIcons) {
            const Coverage onWindow = measure(render(id, IconBackground::Window, 24));
            const Coverage onDark = measure(render(id, IconBackground::Dark, 24));
            QVERIFY2(onDark.meanLuma > 150, buttonIconName(id));
            QVERIFY2(onWindow.meanLuma < 110, buttonIconName(id));
        }
    }

    void iconsAreDistinct()
    {
        // A copy-pasted case would draw two buttons alike.
        QSet<QByteArray> seen;
        for (const ButtonIcon id : kAllButtonIcons) {
            const QImage image = render(id, IconBackground::Window, 24);
            const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()),
                                   image.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), buttonIconName(id));
            seen.insert(bytes);
        }
    }

    void disabledIconIsFainter()
    {
        for (const ButtonIcon id : kAllButtonIcons) {
            const QImage normal = render(id, IconBackground::Window, 32);
            const QImage disabled = render(id, IconBackground::Window, 32, QIcon::Disabled);
            qint64 normalInk = 0, disabledInk = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    normalInk += normal.pixelColor(x, y).alpha();
                    disabledInk += disabled.pixelColor(x, y).alpha();
                }
            }
            QVERIFY2(disabledInk > 0 && disabledInk * 2 < normalInk, buttonIconName(id));
        }
    }

    void highDpiPixmapHasTheRequestedPixels()
    {
        const QPixmap pixmap = buttonIcon(ButtonIcon::Open).pixmap(QSize(24, 24), 2.0);
        QCOMPARE(pixmap.size(), QSize(48, 48));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    }

    // Not a check: with TAVELUNE_ICON_SHEET=file.png, writes every icon as a real tool button
    // on the window background and on black, for looking at.
    void iconSheet()
    {
        const QByteArray path = qgetenv("TAVELUNE_ICON_SHEET");
        if (path.isEmpty()) {
            QSKIP("TAVELUNE_ICON_SHEET not set");
        }
        QWidget sheet;
        auto* grid = new QGridLayout(&sheet);
        int column = 1;
        for (const int size : kSizes) {
            grid->addWidget(new QLabel(QString::number(size)), 0, column++);
            grid->addWidget(new QLabel(QString::number(size)), 0, column++);
        }
        int row = 1;
        for (const ButtonIcon id : kAllButtonIcons) {
            grid->addWidget(new QLabel(buttonIconName(id)), row, 0);
            column = 1;
            for (const int size : kSizes) {
                for (const auto background : {IconBackground::Window, IconBackground::Dark}) {
                    auto* button = new QToolButton;
                    button->setIcon(buttonIcon(id, background));
                    button->setIconSize(QSize(size, size));
                    button->setAutoRaise(true);
                    button->setEnabled(row % 5 != 0 || size != 24);
                    if (background == IconBackground::Dark) {
                        button->setStyleSheet("background: black; border: none;");
                    }
                    grid->addWidget(button, row, column++);
                }
            }
            ++row;
        }
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QVERIFY(sheet.grab().save(QString::fromLocal8Bit(path)));
        const int hold = qEnvironmentVariableIntValue("TAVELUNE_ICON_SHEET_HOLD_MS");
        if (hold > 0) {
            QTest::qWait(hold);
        }
    }
};

QTEST_MAIN(IconsTest)
#include "icons_test.moc"
