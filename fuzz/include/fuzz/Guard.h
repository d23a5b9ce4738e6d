#pragma once

#include <string>

namespace fuzz {

/// Reports a finding on the standard error stream and aborts, so that the
/// fuzzing engine (or the replay driver's test) records the input.
[[noreturn]] void finding(const std::string& what);

/// Runs `step` and lets through only the exceptions that the reader and the
/// decoder document for bad input: std::runtime_error (util::RuntimeErrorST
/// included), std::length_error and zulx::StatusException. Anything else -
/// std::bad_alloc, other logic errors, non-standard exceptions - is a
/// finding. Returns true when `step` completed without an exception.
template <typename Step>
bool guarded(const char* what, Step&& step);

/// Turns the exception being handled into "allowed" (returns) or a finding.
void classifyCurrentException(const char* what);

template <typename Step>
bool guarded(const char* what, Step&& step) {
    try {
        step();
        return true;
    } catch (...) {
        classifyCurrentException(what);
        return false;
    }
}

} // namespace fuzz
