// Message sink: one mutex-guarded slot, called from the UI thread and from workers.
#include "engine/message_sink.h"

#include <cstdio>
#include <mutex>

namespace tavelune {
namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

MessageSink& installedSink()
{
    static MessageSink sink;
    return sink;
}

thread_local MessageSink threadSink;

}  // namespace

ThreadMessageSink::ThreadMessageSink(MessageSink sink) : m_previous(std::move(threadSink))
{
    threadSink = std::move(sink);
}

ThreadMessageSink::~ThreadMessageSink()
{
    threadSink = std::move(m_previous);
}

MessageSink setMessageSink(MessageSink sink)
{
    std::lock_guard lock(sinkMutex());
    MessageSink old = std::move(installedSink());
    installedSink() = std::move(sink);
    return old;
}

void showMessage(const std::string& text, const std::string& caption, MessageIcon icon)
{
    if (threadSink) {
        threadSink(text, caption, icon);
        return;
    }
    std::lock_guard lock(sinkMutex());
    if (installedSink()) {
        installedSink()(text, caption, icon);
        return;
    }
    if (caption.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace tavelune
