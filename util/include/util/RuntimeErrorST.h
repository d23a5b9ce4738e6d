#pragma once

#include <stdexcept>
#include <string>

namespace util {

/// The loader's runtime error: a std::runtime_error that also carries the
/// text of the stack at the point where it was raised.
class RuntimeErrorST : public std::runtime_error {
public:
    explicit RuntimeErrorST(const std::string& message);
    std::string stackTrace;
};

/// The current stack as text ("<Stacktrace not available>" in this build).
std::string getStackTrace();

} // namespace util
