// Message boxes and questions of the desktop program, with a hook that lets tests answer them.
#pragma once

#include <QMap>
#include <QMessageBox>
#include <QString>
#include <functional>

#include "engine/message_sink.h"

namespace tavelune::gui {

struct MessageRecord {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    // Own labels for some of the buttons (a choice the standard words do not name).
    QMap<QMessageBox::StandardButton, QString> buttonTexts = {};
};

/// Answers a box instead of showing it; tests install one so that nothing waits for a click.
using MessageInterceptor = std::function<QMessageBox::StandardButton(const MessageRecord&)>;
MessageInterceptor setMessageInterceptor(MessageInterceptor interceptor);

/// The box icon for an engine message's icon.
QMessageBox::Icon messageBoxIcon(MessageIcon icon);

/// A modal box with an OK button; the caption defaults to the program's name.
void showMessageBox(QWidget* parent, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::Information, const QString& caption = {});

/// A modal question; returns the button pressed (Cancel/No/Escape when closed).
QMessageBox::StandardButton askQuestion(
    QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon = QMessageBox::Question,
    const QMap<QMessageBox::StandardButton, QString>& buttonTexts = {});

/// Routes the engine's messages to boxes on the UI thread; a worker's message is queued, so the
/// worker never waits for the user.
void installEngineMessageSink();

}  // namespace tavelune::gui
