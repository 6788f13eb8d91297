// Fuzz targets hit every error path; the message sink would print each one.
#pragma once

#include <string>

#include "engine/message_sink.h"

inline void silenceMessages()
{
    static const bool silenced = [] {
        tavelune::setMessageSink(
            [](const std::string&, const std::string&, tavelune::MessageIcon) {});
        return true;
    }();
    (void)silenced;
}
