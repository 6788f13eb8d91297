// The one road by which the engine tells the user something: the front end installs a sink.
#pragma once

#include <functional>
#include <string>

namespace tavelune {

enum class MessageIcon { Information, Warning, Error };

/// Receives a message box: its text, its caption (empty for the plain box) and its icon.
using MessageSink =
    std::function<void(const std::string& text, const std::string& caption, MessageIcon icon)>;

/// Installs a sink and returns the previous one. Without a sink, messages go to stderr.
MessageSink setMessageSink(MessageSink sink);

/// Shows a message through the installed sink; safe to call from any thread.
void showMessage(const std::string& text, const std::string& caption = {},
                 MessageIcon icon = MessageIcon::Warning);

}  // namespace tavelune
