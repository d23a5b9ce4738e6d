#include "zulx/Log.h"
#include "zulx/Utf.h"

#include <atomic>
#include <mutex>

namespace zulx {
namespace {

struct SinkHolder {
    std::mutex mutex;
    LogSink sink;
    std::atomic<int> threshold{zul::LOG_NOTHING};
};

SinkHolder& holder() {
    static SinkHolder h;
    return h;
}

void emit(zul::LogLevel level, const std::string& text) {
    SinkHolder& h = holder();
    std::lock_guard<std::mutex> lock(h.mutex);
    if (h.sink)
        h.sink(level, text);
}

// Missing or surplus arguments are a bug in a message, not a reason to lose
// the record or to throw from a destructor.
constexpr unsigned char kFormatErrors =
    boost::io::all_error_bits ^ (boost::io::too_many_args_bit | boost::io::too_few_args_bit);

} // namespace

void setLogSink(LogSink sink, zul::LogLevel threshold) {
    SinkHolder& h = holder();
    std::lock_guard<std::mutex> lock(h.mutex);
    h.sink = std::move(sink);
    h.threshold = h.sink ? static_cast<int>(threshold) : static_cast<int>(zul::LOG_NOTHING);
}

bool isLogEnabled(zul::LogLevel level) {
    return static_cast<int>(level) >= holder().threshold.load(std::memory_order_relaxed);
}

LogFormatter::LogFormatter(zul::LogLevel level, const char* format, const char*)
    : mLevel(level), mEnabled(isLogEnabled(level)) {
    if (mEnabled)
        init(format ? format : "");
}

LogFormatter::LogFormatter(zul::LogLevel level, const std::string& text)
    : mLevel(level), mEnabled(isLogEnabled(level)) {
    if (mEnabled)
        init(text);
}

LogFormatter::LogFormatter(zul::LogLevel level, const std::string& text, const std::exception& e)
    : mLevel(level), mEnabled(isLogEnabled(level)) {
    if (!mEnabled)
        return;
    // The message is plain text here, never a format.
    std::string joined = text;
    if (!joined.empty() && joined.back() != ' ')
        joined += ": ";
    joined += e.what();
    mRaw = joined;
    mBroken = true;
}

void LogFormatter::init(const std::string& format) {
    mRaw = format;
    try {
        mFormat.exceptions(kFormatErrors);
        mFormat.parse(format);
    } catch (...) {
        mBroken = true;
    }
}

void LogFormatter::feed(const std::function<void(boost::format&)>& apply) {
    if (mBroken)
        return;
    try {
        apply(mFormat);
    } catch (...) {
        mBroken = true;
    }
}

LogFormatter& LogFormatter::operator%(const wchar_t* value) {
    return *this % wideToUtf8(value ? std::wstring(value) : std::wstring());
}

LogFormatter& LogFormatter::operator%(const std::wstring& value) {
    return *this % wideToUtf8(value);
}

LogFormatter::~LogFormatter() {
    if (!mEnabled)
        return;
    try {
        std::string text = mRaw;
        if (!mBroken) {
            try {
                text = mFormat.str();
            } catch (...) {
            }
        }
        emit(mLevel, text);
    } catch (...) {
    }
}

LogFormatterW::LogFormatterW(zul::LogLevel level, const wchar_t* format, const char*)
    : mLevel(level), mEnabled(isLogEnabled(level)) {
    if (!mEnabled)
        return;
    mRaw = format ? format : L"";
    try {
        mFormat.exceptions(kFormatErrors);
        mFormat.parse(mRaw);
    } catch (...) {
        mBroken = true;
    }
}

void LogFormatterW::feed(const std::function<void(boost::wformat&)>& apply) {
    if (mBroken)
        return;
    try {
        apply(mFormat);
    } catch (...) {
        mBroken = true;
    }
}

LogFormatterW& LogFormatterW::operator%(const char* value) {
    return *this % utf8ToWide(value ? std::string(value) : std::string());
}

LogFormatterW& LogFormatterW::operator%(const std::string& value) {
    return *this % utf8ToWide(value);
}

LogFormatterW::~LogFormatterW() {
    if (!mEnabled)
        return;
    try {
        std::wstring text = mRaw;
        if (!mBroken) {
            try {
                text = mFormat.str();
            } catch (...) {
            }
        }
        emit(mLevel, wideToUtf8(text));
    } catch (...) {
    }
}

} // namespace zulx
