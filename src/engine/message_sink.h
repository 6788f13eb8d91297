// The one road by which the front ends tell the user something; the core hands its boxes back
// in results and never calls it.
#pragma once

#include <functional>
#include <string>

#include "engine/message_icon.h"

namespace tavelune {

/// Receives a message box: its text, its caption (empty for the plain box) and its icon.
using MessageSink =
    std::function<void(const std::string& text, const std::string& caption, MessageIcon icon)>;

/// Installs a sink and returns the previous one. Without a sink, messages go to stderr.
MessageSink setMessageSink(MessageSink sink);

/// For its lifetime, messages shown on the constructing thread go to sink instead of the
/// installed one; a worker that reports its own failure uses it so the user sees one message.
class ThreadMessageSink {
public:
    explicit ThreadMessageSink(MessageSink sink);
    ~ThreadMessageSink();
    ThreadMessageSink(const ThreadMessageSink&) = delete;
    ThreadMessageSink& operator=(const ThreadMessageSink&) = delete;

private:
    MessageSink m_previous;
};

/// Shows a message through the thread's sink, else the installed one; safe from any thread.
void showMessage(const std::string& text, const std::string& caption = {},
                 MessageIcon icon = MessageIcon::Warning);

}  // namespace tavelune
