#pragma once

#include <string>

namespace fuzz {

/// Reports a finding on the standard error stream and aborts, so that the
/// fuzzing engine (or the test that replays the input) records the input.
[[noreturn]] void finding(const std::string& what);

/// Turns the exception being handled into a finding unless bad input may
/// cause it: std::runtime_error (util::RuntimeErrorST included) and, unless
/// `onlyRuntimeErrors`, std::length_error and zulx::StatusException. The
/// message of an allowed one is kept for lastError().
void classifyCurrentException(const char* what, bool onlyRuntimeErrors);

/// Runs `step`: true when it completed, false after an allowed exception.
template <typename Step>
bool guarded(const char* what, Step&& step, bool onlyRuntimeErrors = false) {
    try {
        step();
        return true;
    } catch (...) {
        classifyCurrentException(what, onlyRuntimeErrors);
        return false;
    }
}

/// The message of the last allowed exception.
const std::string& lastError();

} // namespace fuzz
