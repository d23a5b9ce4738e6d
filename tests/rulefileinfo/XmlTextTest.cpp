#include "RecordBuilder.h"
#include "rulefileinfo/XmlString.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using namespace rfitest;
using rulefileinfo::toXMLString;

TEST(RuleFileInfoXml, EmptyRecord) {
    RuleFileInfoImpl info;
    EXPECT_EQ(toXMLString(info), "<rulefileinfo><attributes></attributes><rules></rules>"
                                 "<annotations>\n</annotations>\n</rulefileinfo>");
}

TEST(RuleFileInfoXml, EntriesWithAndWithoutParameters) {
    EXPECT_EQ(toXMLString(*sampleRecord()), kSampleXml);
}

TEST(RuleFileInfoXml, EntryAndParameterTypesUseTheirNames) {
    RuleFileInfoImpl info;
    setList(info.numRules, info.rules,
            items<EntryImpl>(entry(zul::AAT_BOOL, L"a",
                                   items<ParameterImpl>(parameter(zul::AAT_INT, L"i"),
                                                        parameter(zul::AAT_FLOAT, L"f"))),
                             EntryImpl()));
    EXPECT_EQ(toXMLString(info),
              "<rulefileinfo><attributes></attributes><rules>"
              "<entry returntype=\"bool\" name=\"a\"><parameters>"
              "<parameter type=\"?\" name=\"i\"><annotations>\n</annotations>\n</parameter>"
              "<parameter type=\"float\" name=\"f\"><annotations>\n</annotations>\n</parameter>"
              "</parameters><annotations>\n</annotations>\n</entry>"
              "<entry returntype=\"?\" name=\"\"><parameters></parameters>"
              "<annotations>\n</annotations>\n</entry>"
              "</rules><annotations>\n</annotations>\n</rulefileinfo>");
}

TEST(RuleFileInfoXml, SortKeysAreNotWritten) {
    auto info = sampleRecord();
    info->rules[0].order = 3;
    info->rules[0].groupOrder = 7;
    info->rules[0].group = L"Group";
    EXPECT_EQ(toXMLString(*info), kSampleXml);
}

TEST(AnnotationXml, NameAndArguments) {
    EXPECT_EQ(toXMLString(annotation(
                  L"@Enum", items<AnnotationArgumentImpl>(strArg(L"a", L"values"), boolArg(true)))),
              "<annotation name=\"@Enum\"><arguments>"
              "<argument type=\"str\" key=\"values\" value=\"a\"/>"
              "<argument type=\"bool\" value=\"true\"/>"
              "</arguments></annotation>");
    EXPECT_EQ(toXMLString(AnnotationImpl()),
              "<annotation name=\"\"><arguments></arguments></annotation>");
}

struct ArgumentCase {
    const char* what;
    uint32_t type;
    std::string expected;
};

TEST(AnnotationArgumentXml, EveryTypeCode) {
    const std::vector<ArgumentCase> cases = {
        {"void", zul::AAT_VOID, "<argument type=\"void\" value=\"?\"/>"},
        {"bool", zul::AAT_BOOL, "<argument type=\"bool\" value=\"true\"/>"},
        {"float", zul::AAT_FLOAT, "<argument type=\"float\" value=\"2.5\"/>"},
        {"str", zul::AAT_STR, "<argument type=\"str\" value=\"s\"/>"},
        {"integer", zul::AAT_INT, "<argument type=\"?\" value=\"?\"/>"},
        {"unset", zul::AAT_UNKNOWN, "<argument type=\"?\" value=\"?\"/>"},
        {"out of range", 99, "<argument type=\"?\" value=\"?\"/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AnnotationArgumentImpl a;
        a.type = static_cast<zul::AnnotationArgumentType>(c.type);
        a.boolValue = true;
        a.floatValue = 2.5;
        a.strValue = L"s";
        EXPECT_EQ(toXMLString(a), c.expected);
    }
    EXPECT_EQ(toXMLString(boolArg(false)), "<argument type=\"bool\" value=\"false\"/>");
}

TEST(AnnotationArgumentXml, KeyOnlyWhenNotEmpty) {
    EXPECT_EQ(toXMLString(boolArg(true, L"k")),
              "<argument type=\"bool\" key=\"k\" value=\"true\"/>");
    EXPECT_EQ(toXMLString(boolArg(true, L"")), "<argument type=\"bool\" value=\"true\"/>");
}

struct FloatCase {
    double value;
    const char* text;
};

TEST(AnnotationArgumentXml, FloatsLikePercentGWithPrecisionSix) {
    const std::vector<FloatCase> cases = {
        {10, "10"},
        {0.25, "0.25"},
        {0, "0"},
        {123456, "123456"},
        {1234567, "1.23457e+06"},
        {1e-5, "1e-05"},
        {0.0001, "0.0001"},
        {-3.75, "-3.75"},
        {-1234567, "-1.23457e+06"},
        {1e300, "1e+300"},
        {std::numeric_limits<double>::max(), "1.79769e+308"},
        {1.0 / 3.0, "0.333333"},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(toXMLString(floatArg(c.value)),
                  std::string("<argument type=\"float\" value=\"") + c.text + "\"/>");
    }
}

struct EscapeCase {
    std::wstring value;
    std::string written;
};

TEST(AnnotationArgumentXml, StringValuesAreEscapedThenUtf8) {
    const std::vector<EscapeCase> cases = {
        {L"a<b & 'c'", "a&lt;b &amp; &apos;c&apos;"},
        {L"\"q\">", "&quot;q&quot;&gt;"},
        {L"&amp;", "&amp;amp;"},
        {L"", ""},
        {L"plain text", "plain text"},
        {L"\u00E9\u20AC", "\xC3\xA9\xE2\x82\xAC"},
        {std::wstring(1, wchar_t(0x1F600)) + L"<", "\xF0\x9F\x98\x80&lt;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(toXMLString(strArg(c.value)),
                  "<argument type=\"str\" value=\"" + c.written + "\"/>");
    }
}

TEST(AnnotationArgumentXml, NamesAndKeysAreUtf8ButNotEscaped) {
    EXPECT_EQ(toXMLString(strArg(L"v", L"k<\u00E9")),
              "<argument type=\"str\" key=\"k<\xC3\xA9\" value=\"v\"/>");
    EXPECT_EQ(toXMLString(annotation(L"@A&\u20AC")),
              "<annotation name=\"@A&\xE2\x82\xAC\"><arguments></arguments></annotation>");
}

// Invalid code points are dropped from names, keys and values alike, the
// same way util::toUTF8 drops them.
TEST(AnnotationArgumentXml, InvalidCodePointsAreDroppedLikeToUtf8) {
    const std::wstring invalid =
        std::wstring(L"a") + wchar_t(0xD800) + L"<b" + static_cast<wchar_t>(0x110000) + L"\u00E9";
    const std::string utf8 = util::toUTF8(invalid);
    EXPECT_EQ(utf8, "a<b\xC3\xA9");
    EXPECT_EQ(toXMLString(strArg(invalid, invalid)),
              "<argument type=\"str\" key=\"" + utf8 + "\" value=\"a&lt;b\xC3\xA9\"/>");
}

std::string repeated(const std::string& text, size_t n) {
    std::string result;
    for (size_t i = 0; i < n; ++i)
        result += text;
    return result;
}

// Long texts grow the output many times over; a value made only of quotes
// grows six-fold while it is escaped.
TEST(AnnotationArgumentXml, LongValuesAndNames) {
    const size_t n = 20000;
    EXPECT_EQ(toXMLString(strArg(std::wstring(n, L'"'), std::wstring(n, L'k'))),
              "<argument type=\"str\" key=\"" + std::string(n, 'k') + "\" value=\"" +
                  repeated("&quot;", n) + "\"/>");
    EXPECT_EQ(toXMLString(strArg(std::wstring(n, L'\u00E9') + L"&")),
              "<argument type=\"str\" value=\"" + repeated("\xC3\xA9", n) + "&amp;\"/>");
}

} // namespace
