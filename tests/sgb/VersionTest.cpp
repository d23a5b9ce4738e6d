#include "sgb/CompilerVersion.h"
#include "sgbtest/Decode.h"
#include "sgbtest/RuleFileWriter.h"
#include "testsupport/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using sgbtest::Arg;
using sgbtest::RuleFileWriter;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const wchar_t* const kRecompile =
    L" : recompiling with current SGL Compiler (1.10) is recommended.";

TEST(VersionTest, CompilerVersionCases) {
    const struct {
        std::optional<std::string> sglc; // nullopt: no "@_VERSION" at all
        uint32_t major, minor;
        std::vector<std::wstring> errors;
        std::vector<std::wstring> warnings;
    } cases[] = {
        {std::nullopt,
         0,
         0,
         {},
         {L"Potentially unsupported SGLC version 0.0 : major number smaller than current (1.10)",
          std::wstring(L"Potentially problematic SGLC version 0.0") + kRecompile}},
        {"1.10", 1, 10, {}, {}},
        {"1.10.3", 1, 10, {}, {}},
        {"1.9", 1, 9, {}, {std::wstring(L"Potentially problematic SGLC version 1.9") + kRecompile}},
        {"1.11",
         1,
         11,
         {},
         {L"Potentially unsupported SGLC version 1.11 : newer than current (1.10)"}},
        {"2.0",
         2,
         0,
         {L"Unsupported SGLC version 2.0 : major number larger than current (1.10)"},
         {}},
        {"0.12",
         0,
         12,
         {},
         {L"Potentially unsupported SGLC version 0.12 : major number smaller than current (1.10)",
          std::wstring(L"Potentially problematic SGLC version 0.12") + kRecompile}},
    };
    for (const auto& c : cases) {
        RuleFileWriter f;
        if (c.sglc)
            f.fileAnnotations({RuleFileWriter::version(*c.sglc, "1.3")});
        const auto sgb = sgbtest::decode(f.str());
        const zulx::RuleData& record = *sgb->data;
        const std::string label = c.sglc.value_or("(none)");
        EXPECT_EQ(record.compilerVersionMajor, c.major) << label;
        EXPECT_EQ(record.compilerVersionMinor, c.minor) << label;
        EXPECT_EQ(record.languageVersionMajor, c.sglc ? 1u : 0u) << label;
        EXPECT_EQ(record.languageVersionMinor, c.sglc ? 3u : 0u) << label;
        EXPECT_EQ(record.errors, c.errors) << label;
        EXPECT_EQ(record.warnings, c.warnings) << label;
    }
}

TEST(VersionTest, LastKeyOfTheFirstVersionAnnotationCounts) {
    RuleFileWriter f;
    f.fileAnnotations({{"@_VERSION",
                        {Arg::text("sglc", "2.0"), Arg::text("sgl", "1.1"),
                         Arg::text("sglc", "1.10"), Arg::text("sgl", "1.2")}},
                       {"@_VERSION", {Arg::text("sglc", "3.0")}}});
    const auto sgb = sgbtest::decode(f.str());
    EXPECT_EQ(sgb->data->compilerVersionMajor, 1u);
    EXPECT_EQ(sgb->data->compilerVersionMinor, 10u);
    EXPECT_EQ(sgb->data->languageVersionMinor, 2u);
    EXPECT_THAT(sgb->data->errors, IsEmpty());
    EXPECT_THAT(sgb->data->warnings, IsEmpty());
}

TEST(VersionTest, MessagesAreLoggedAtCompletion) {
    testsupport::LogCapture log;
    RuleFileWriter f;
    f.fileAnnotations({RuleFileWriter::version("2.0", "1.0")});
    f.ownCall("f", "()D");
    sgbtest::decode(f.str());
    EXPECT_TRUE(log.contains(
        4, "SGB file contains error 'Illegal method 'f()D' with undefined body  - not a rule "
           "(not void).'"));
    EXPECT_TRUE(log.contains(4, "SGB file contains error 'Unsupported SGLC version 2.0 : major "
                                "number larger than current (1.10)'"));
}

TEST(VersionTest, WarningsAreLoggedAtWarningLevel) {
    testsupport::LogCapture log;
    RuleFileWriter f;
    f.fileAnnotations({RuleFileWriter::version("1.11", "1.0")});
    sgbtest::decode(f.str());
    EXPECT_TRUE(log.contains(3, "SGB file contains warning 'Potentially unsupported SGLC version "
                                "1.11 : newer than current (1.10)'"));
}

TEST(VersionTest, ParseReadsLikeTheScanfFormat) {
    const struct {
        const wchar_t* text;
        int major, minor;
    } cases[] = {
        {L"", 0, 0},
        {L"1.10", 1, 10},
        {L"1.10.", 1, 10},
        {L" 1. 7", 1, 7},
        {L"3", 3, 0},
        {L"3.", 3, 0},
        {L"3.x", 3, 0},
        {L"x.3", 0, 0},
        {L"-1.5", -1, 5},
        {L"+2.+4", 2, 4},
        {L"1,10", 1, 0},
        {L"99999999999.1", 2147483647, 1},
        {L"1.-99999999999", 1, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        const sgb::CompilerVersion v = sgb::parseVersion(c.text);
        EXPECT_EQ(v.major, c.major) << c.text;
        EXPECT_EQ(v.minor, c.minor) << c.text;
    }
}

} // namespace
