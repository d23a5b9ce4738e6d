#pragma once

#include "zul/LogLevel.h"
#include "zulx/Log.h"

#include <exception>
#include <string>

namespace util {

/// One log statement with a narrow format: util::Log<zul::LOG_ERROR>("x %s") % a;
/// The record is emitted at the end of the full expression.
template <zul::LogLevel Level>
class Log : public zulx::LogFwd<1, Level, zulx::LogFormatter> {
    using Base = zulx::LogFwd<1, Level, zulx::LogFormatter>;

public:
    explicit Log(const char* format) : Base(Level, format, nullptr) {}
    /// A fixed text followed by an exception's message.
    Log(const std::string& text, const std::exception& e) : Base(Level, text, e) {}
};

/// One log statement with a wide format.
template <zul::LogLevel Level>
class LogW : public zulx::LogFwd<1, Level, zulx::LogFormatterW> {
    using Base = zulx::LogFwd<1, Level, zulx::LogFormatterW>;

public:
    explicit LogW(const wchar_t* format) : Base(Level, format, nullptr) {}
};

} // namespace util
