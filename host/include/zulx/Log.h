#pragma once

#include "zul/Export.h"
#include "zul/LogLevel.h"

#include <boost/format.hpp>

#include <exception>
#include <functional>
#include <string>

namespace zulx {

/// Receives every finished log record. Installed once by the application;
/// records below the threshold are not even formatted.
using LogSink = std::function<void(zul::LogLevel level, const std::string& text)>;

/// Installs the process-wide sink (an empty function discards all records).
ZUL_CORE_API void setLogSink(LogSink sink, zul::LogLevel threshold = zul::LOG_TRACE);
ZUL_CORE_API bool isLogEnabled(zul::LogLevel level);

/// One log record with a narrow printf-style or numbered ("%1%") format.
/// Arguments are fed with operator%; wide arguments are written as UTF-8. The
/// record is handed to the sink when the formatter is destroyed; formatting
/// errors never escape.
class ZUL_CORE_API LogFormatter {
public:
    LogFormatter(zul::LogLevel level, const char* format, const char* unused = nullptr);
    explicit LogFormatter(zul::LogLevel level, const std::string& text);
    LogFormatter(zul::LogLevel level, const std::string& text, const std::exception& e);
    virtual ~LogFormatter();
    LogFormatter(const LogFormatter&) = delete;
    LogFormatter& operator=(const LogFormatter&) = delete;

    template <typename T>
    LogFormatter& operator%(const T& value) {
        if (mEnabled)
            feed([&](boost::format& f) { f % value; });
        return *this;
    }
    LogFormatter& operator%(const wchar_t* value);
    LogFormatter& operator%(const std::wstring& value);
    LogFormatter& operator%(wchar_t* value) { return *this % static_cast<const wchar_t*>(value); }

private:
    void init(const std::string& format);
    void feed(const std::function<void(boost::format&)>& apply);

    zul::LogLevel mLevel;
    bool mEnabled;
    bool mBroken = false;
    std::string mRaw;
    boost::format mFormat;
};

/// Like LogFormatter, but with a wide format text; narrow arguments are read
/// as UTF-8. The record reaches the sink as UTF-8.
class ZUL_CORE_API LogFormatterW {
public:
    LogFormatterW(zul::LogLevel level, const wchar_t* format, const char* unused = nullptr);
    virtual ~LogFormatterW();
    LogFormatterW(const LogFormatterW&) = delete;
    LogFormatterW& operator=(const LogFormatterW&) = delete;

    template <typename T>
    LogFormatterW& operator%(const T& value) {
        if (mEnabled)
            feed([&](boost::wformat& f) { f % value; });
        return *this;
    }
    LogFormatterW& operator%(const char* value);
    LogFormatterW& operator%(const std::string& value);
    LogFormatterW& operator%(char* value) { return *this % static_cast<const char*>(value); }

private:
    void feed(const std::function<void(boost::wformat&)>& apply);

    zul::LogLevel mLevel;
    bool mEnabled;
    bool mBroken = false;
    std::wstring mRaw;
    boost::wformat mFormat;
};

/// A log statement: a short-lived formatter that carries its level in its
/// type. Use as a temporary: LogFwd<1, LOG_ERROR, LogFormatter>(LOG_ERROR, "x %s") % a;
template <int Tag, zul::LogLevel Level, typename Formatter>
class LogFwd : public Formatter {
public:
    static_assert(Tag == 1, "the first parameter of LogFwd is always 1");
    template <typename... Args>
    explicit LogFwd(Args&&... args) : Formatter(std::forward<Args>(args)...) {}
};

} // namespace zulx
