// The colour button: the value of every cell, no colour, the custom colour and the eyedropper.
#include "gui/controls/colour_button.h"

#include <QApplication>
#include <QColorDialog>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/controls/colour_popup.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

void sendMouse(QWidget* to, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons)
{
    const QPointF local = to->mapFromGlobal(global);
    QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// Runs answer on the modal dialog of type T as soon as it is open (polled, as the dialog
// runs its own event loop).
template <typename T>
void whenModal(std::function<void(T*)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        }
    });
    poll->start();
}

}  // namespace

class ColourButtonTest : public QObject {
    Q_OBJECT
private slots:
    void everyCellReportsItsWindowsColourAndNoneReportsMinusOne()
    {
        ColourButton button;
        button.show();
        QCOMPARE(button.colour(), -1);
        QSignalSpy spy(&button, &ColourButton::colourChanged);
        for (int index = -1; index <= kCustomSlot; ++index) {
            QTest::mouseClick(&button, Qt::LeftButton);
            ColourPopup* popup = button.popup();
            QVERIFY(popup && popup->isVisible());
            QTest::mouseClick(popup->cell(index), Qt::LeftButton);
            const int expected = index < 0              ? -1
                                 : index == kCustomSlot ? 0xFFFFFF
                                                        : int(kFixedColours[size_t(index)]);
            QCOMPARE(button.colour(), expected);
            QCOMPARE(spy.takeLast().at(0).toInt(), expected);
            QTRY_VERIFY(!button.popup());
        }
        // Red is the fifth cell and reads 0x0000FF as a Windows colour.
        button.showPopup();
        QTest::mouseClick(button.popup()->cell(4), Qt::LeftButton);
        QCOMPARE(button.colour(), 0x0000FF);
    }

    void theOpenPopupMarksTheCurrentCellAndCanHideNoColour()
    {
        ColourButton button;
        button.setColour(0x808000);  // teal, a fixed cell
        QCOMPARE(button.palette().index(), 13);
        button.showPopup();
        QVERIFY(button.popup()->cell(-1)->isVisible());
        button.popup()->close();
        QTRY_VERIFY(!button.popup());

        button.setNoColourAllowed(false);
        button.showPopup();
        QVERIFY(!button.popup()->cell(-1)->isVisible());
        QVERIFY(button.popup()->cell(0)->isVisible());
    }

    void customColourGoesToSlotTwentyThroughTheColourDialog()
    {
        ColourButton button;
        button.setColour(0x0000FF);
        button.show();
        QSignalSpy spy(&button, &ColourButton::colourChanged);
        QColor initial;
        whenModal<QColorDialog>([&](QColorDialog* dialog) {
            initial = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            dialog->accept();
        });
        button.showPopup();
        QTest::mouseClick(button.popup()->customButton(), Qt::LeftButton);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(initial, QColor(255, 0, 0));  // the dialog starts from the current colour
        QCOMPARE(button.colour(), 0x563412);
        QCOMPARE(button.palette().index(), kCustomSlot);

        // Cancelling changes nothing.
        bool cancelled = false;
        whenModal<QColorDialog>([&](QColorDialog* dialog) {
            dialog->reject();
            cancelled = true;
        });
        button.showPopup();
        QTest::mouseClick(button.popup()->customButton(), Qt::LeftButton);
        QTRY_VERIFY(cancelled);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(button.colour(), 0x563412);
    }

    void eyedropperShowsThePixelLiveAndChoosesItOnRelease()
    {
        // A screen whose pixel colour encodes its position.
        auto previous = ColourButton::setScreenPixelReader(
            [](const QPoint& at) { return QColor(at.x() & 0xFF, at.y() & 0xFF, 0x40); });
        ColourButton button;
        button.show();
        QSignalSpy spy(&button, &ColourButton::colourChanged);
        button.showPopup();
        ColourPopup* popup = button.popup();
        Eyedropper* dropper = popup->eyedropper();
        const QPoint start = dropper->mapToGlobal(dropper->rect().center());
        sendMouse(dropper, QEvent::MouseButtonPress, start, Qt::LeftButton);
        // Far outside the pop-up: the drag still reads the screen there.
        sendMouse(dropper, QEvent::MouseMove, QPoint(0x12, 0x34), Qt::LeftButton);
        QCOMPARE(popup->fieldText(), QStringLiteral("#123440"));
        QCOMPARE(popup->cell(kCustomSlot)->isVisible(), true);
        QVERIFY(spy.isEmpty());  // nothing is chosen while dragging
        sendMouse(dropper, QEvent::MouseMove, QPoint(0xAB, 0x01), Qt::LeftButton);
        QCOMPARE(popup->fieldText(), QStringLiteral("#AB0140"));
        sendMouse(dropper, QEvent::MouseButtonRelease, QPoint(0xAB, 0x01), Qt::NoButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(button.colour(), 0x4001AB);
        QCOMPARE(button.palette().index(), kCustomSlot);
        QTRY_VERIFY(!button.popup());
        ColourButton::setScreenPixelReader(previous);
    }

    void popupStaysInsideTheScreen()
    {
        QWidget window;
        auto* button = new ColourButton(&window);
        window.show();
        const QRect area = window.screen()->availableGeometry();
        window.move(area.right() - 20, area.bottom() - 20);
        button->showPopup();
        const QRect shown = button->popup()->frameGeometry();
        QVERIFY2(area.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                      .arg(shown.x())
                                                      .arg(shown.y())
                                                      .arg(shown.width())
                                                      .arg(shown.height())));
    }
};

QTEST_MAIN(ColourButtonTest)
#include "colour_button_test.moc"
