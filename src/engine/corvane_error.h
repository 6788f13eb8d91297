// The engine's one exception: raised when a worker thread cannot be started.
#pragma once

#include <stdexcept>
#include <string>

namespace tavelune {

class CCorvaneError : public std::runtime_error {
public:
    explicit CCorvaneError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tavelune
