#pragma once

namespace zul {

/// Severity of a log record; a higher number marks a more serious event.
enum LogLevel {
    LOG_TRACE = 0,
    LOG_DEBUG = 1,
    LOG_INFO = 2,
    LOG_WARNING = 3,
    LOG_ERROR = 4,
    LOG_FATAL = 5,
    LOG_NOTHING = 1000,
};

} // namespace zul
