// Message boxes through one door, so that tests can see and answer them.
#include "gui/controls/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QThread>

#include "engine/message_sink.h"

namespace tavelune::gui {

namespace {

MessageInterceptor& interceptor()
{
    static MessageInterceptor hook;
    return hook;
}

QMessageBox::StandardButton present(QWidget* parent, const MessageRecord& record,
                                    QMessageBox::StandardButton defaultButton)
{
    if (interceptor()) {
        return interceptor()(record);
    }
    QMessageBox box(record.icon,
                    record.caption.isEmpty() ? QStringLiteral("Tavelune") : record.caption,
                    record.text, record.buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    for (auto it = record.buttonTexts.begin(); it != record.buttonTexts.end(); ++it) {
        if (QAbstractButton* button = box.button(it.key())) {
            button->setText(it.value());
        }
    }
    const int pressed = box.exec();
    return static_cast<QMessageBox::StandardButton>(pressed);
}

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::Information;
}

}  // namespace

QMessageBox::Icon messageBoxIcon(MessageIcon icon)
{
    return toIcon(icon);
}

MessageInterceptor setMessageInterceptor(MessageInterceptor hook)
{
    std::swap(interceptor(), hook);
    return hook;
}

void showMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                    const QString& caption)
{
    present(parent, {text, caption, icon, QMessageBox::Ok}, QMessageBox::Ok);
}

QMessageBox::StandardButton askQuestion(
    QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon,
    const QMap<QMessageBox::StandardButton, QString>& buttonTexts)
{
    return present(parent, {text, {}, icon, buttons, buttonTexts}, defaultButton);
}

void installEngineMessageSink()
{
    setMessageSink([](const std::string& text, const std::string& caption, MessageIcon icon) {
        const QString qtext = QString::fromStdString(text);
        const QString qcaption = QString::fromStdString(caption);
        const QMessageBox::Icon qicon = toIcon(icon);
        auto show = [=] { showMessageBox(QApplication::activeWindow(), qtext, qicon, qcaption); };
        if (QThread::currentThread() == qApp->thread()) {
            show();
        } else {
            QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
        }
    });
}

}  // namespace tavelune::gui
