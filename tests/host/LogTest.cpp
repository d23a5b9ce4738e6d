#include "zulx/Log.h"
#include "testsupport/LogCapture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using zulx::LogFormatter;
using zulx::LogFormatterW;
using zulx::LogFwd;

// The loader's own messages (listing, plugin items, library failures) pin the
// common forms; text arguments of the other width, texts with an exception and
// broken formats are checked here.
TEST(LogFormatter, EitherWidthExceptionsAndBrokenFormatsNeverThrow) {
    testsupport::LogCapture log;
    LogFwd<1, zul::LOG_ERROR, LogFormatterW>(zul::LOG_ERROR, L"%ls %s %s") %
        std::wstring(L"x\u20AC") % std::string("\xC3\xA9") % "c";
    LogFormatter(zul::LOG_DEBUG, "%ls") % L"w\u00E9";
    LogFormatter(zul::LOG_ERROR, "failed to unload library", std::runtime_error("bang"));
    LogFormatter(zul::LOG_ERROR, "%d and %d") % 1;          // too few arguments
    LogFormatter(zul::LOG_ERROR, "bad %") % 1 % 2;          // unparsable, too many arguments
    LogFormatter(zul::LOG_ERROR, std::string("100% sure")); // text taken as a format
    const auto records = log.records();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0], (testsupport::LogCapture::Record{4, "x\xE2\x82\xAC \xC3\xA9 c"}));
    EXPECT_EQ(records[1], (testsupport::LogCapture::Record{1, "w\xC3\xA9"}));
    EXPECT_EQ(records[2].second, "failed to unload library: bang");
    EXPECT_EQ(records[3].second, "1 and ");
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
