#pragma once
// A fatal error of the installation: the exact message text for the "Error" box.
// The core throws it; the Start command catches it and reports it (exit code 1).
#include <stdexcept>
#include <string>

namespace setup {

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] inline void ThrowFatal(const std::string& message) { throw FatalError(message); }

}  // namespace setup
