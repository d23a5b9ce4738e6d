#pragma once

#include "zulx/Log.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

/// Captures every log record in memory while it lives, then removes the sink.
class LogCapture {
public:
    using Record = std::pair<int, std::string>;

    LogCapture() {
        zulx::setLogSink(
            [this](zul::LogLevel level, const std::string& text) {
                std::lock_guard<std::mutex> lock(mMutex);
                mRecords.emplace_back(static_cast<int>(level), text);
            },
            zul::LOG_TRACE);
    }
    ~LogCapture() { zulx::setLogSink(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Record> records() const {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRecords;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mMutex);
        mRecords.clear();
    }
    /// True when a record of exactly this level and text was emitted.
    bool contains(int level, const std::string& text) const {
        std::lock_guard<std::mutex> lock(mMutex);
        for (const auto& r : mRecords)
            if (r.first == level && r.second == text)
                return true;
        return false;
    }

private:
    mutable std::mutex mMutex;
    std::vector<Record> mRecords;
};

} // namespace testsupport
