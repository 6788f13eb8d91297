// How grave a box the user is shown is.
#pragma once

namespace tavelune {

enum class MessageIcon { Information, Warning, Error };

}  // namespace tavelune
