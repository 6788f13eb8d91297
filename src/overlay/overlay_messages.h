// The overlay part's own message texts, shown as they stand.
#pragma once

namespace tavelune::messages {

inline constexpr const char* kTagTextCut =
    "A watermark or signature text is longer than 64 KB once its information tags are "
    "expanded; it was cut there.";

}  // namespace tavelune::messages
