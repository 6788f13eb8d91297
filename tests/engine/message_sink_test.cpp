// The message sink: a thread's own sink takes that thread's messages and no other's.
#include "engine/message_sink.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(MessageSink, ThreadSinkTakesOnlyItsOwnThreadsMessagesUntilItEnds)
{
    test::MessageCollector installed;
    std::vector<std::string> own;
    std::thread worker([&] {
        ThreadMessageSink quiet(
            [&](const std::string& text, const std::string&, MessageIcon) { own.push_back(text); });
        showMessage("from the worker");
        {
            ThreadMessageSink inner([](const std::string&, const std::string&, MessageIcon) {});
            showMessage("swallowed");
        }
        showMessage("worker again");
    });
    worker.join();
    showMessage("from the main thread");
    EXPECT_EQ(own, (std::vector<std::string>{"from the worker", "worker again"}));
    EXPECT_EQ(installed.texts(), std::vector<std::string>{"from the main thread"});
}

}  // namespace
}  // namespace tavelune
