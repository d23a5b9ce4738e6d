#include "zulx/Log.h"
#include "testsupport/LogCapture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using zulx::LogFormatter;
using zulx::LogFormatterW;
using zulx::LogFwd;

TEST(LogFormatter, PrintfNumberedAndWideArguments) {
    testsupport::LogCapture log;
    LogFwd<1, zul::LOG_WARNING, LogFormatter>(zul::LOG_WARNING, "failed to load library %s",
                                              nullptr) %
        std::string("a.so");
    LogFwd<1, zul::LOG_DEBUG, LogFormatter>(zul::LOG_DEBUG, "zulPlugins item %1%: '%2%'") %
        uint64_t(3) % std::wstring(L"/p\u00E9");
    LogFwd<1, zul::LOG_INFO, LogFormatter>(zul::LOG_INFO, "    %-45ls (%.1f) %ls") %
        std::wstring(L"com.x") % 0.0f % L"Desc";
    LogFwd<1, zul::LOG_ERROR, LogFormatterW>(zul::LOG_ERROR, L"Unknown decoder id '%ls'.") %
        std::wstring(L"x\u20AC");
    LogFwd<1, zul::LOG_ERROR, LogFormatterW>(zul::LOG_ERROR, L"narrow %s") %
        std::string("\xC3\xA9");

    const auto records = log.records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], std::make_pair(3, std::string("failed to load library a.so")));
    EXPECT_EQ(records[1], std::make_pair(1, std::string("zulPlugins item 3: '/p\xC3\xA9'")));
    EXPECT_EQ(records[2].second, "    com.x" + std::string(40, ' ') + " (0.0) Desc");
    EXPECT_EQ(records[3], std::make_pair(4, std::string("Unknown decoder id 'x\xE2\x82\xAC'.")));
    EXPECT_EQ(records[4].second, "narrow \xC3\xA9");
}

TEST(LogFormatter, TextWithExceptionAndBrokenFormatsNeverThrow) {
    testsupport::LogCapture log;
    LogFormatter(zul::LOG_ERROR, "failed to load library: ", std::runtime_error("boom"));
    LogFormatter(zul::LOG_ERROR, "failed to unload library", std::runtime_error("bang"));
    LogFormatter(zul::LOG_ERROR, "%d and %d") % 1;          // too few arguments
    LogFormatter(zul::LOG_ERROR, "plain") % 1 % 2;          // too many arguments
    LogFormatter(zul::LOG_ERROR, "bad %") % 1;              // unparsable format
    LogFormatter(zul::LOG_ERROR, std::string("100% sure")); // text taken as a format
    const auto records = log.records();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].second, "failed to load library: boom");
    EXPECT_EQ(records[1].second, "failed to unload library: bang");
    EXPECT_EQ(records[2].second, "1 and ");
    EXPECT_EQ(records[3].second, "plain");
    EXPECT_EQ(records[4].second, "bad %");
}

TEST(LogFormatter, RecordsBelowThresholdAreDropped) {
    std::vector<std::string> seen;
    zulx::setLogSink([&](zul::LogLevel, const std::string& t) { seen.push_back(t); },
                     zul::LOG_WARNING);
    LogFormatter(zul::LOG_DEBUG, "hidden %s") % "x";
    LogFormatter(zul::LOG_WARNING, "shown %s") % "y";
    zulx::setLogSink(nullptr);
    LogFormatter(zul::LOG_FATAL, "nobody listens");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "shown y");
}

} // namespace
