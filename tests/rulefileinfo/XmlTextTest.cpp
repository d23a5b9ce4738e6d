#include "rulefileinfo/RuleFileInfoImpl.h"
#include "rulefileinfo/XmlString.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace {

using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using rulefileinfo::ParameterImpl;
using rulefileinfo::RuleFileInfoImpl;
using rulefileinfo::toXMLString;

// Moves the items into an owned array of their count.
template <typename T, typename... Items>
void setList(size_t& count, std::unique_ptr<T[]>& array, Items&&... items) {
    count = sizeof...(items);
    array.reset(count ? new T[count] : nullptr);
    size_t i = 0;
    ((array[i++] = std::forward<Items>(items)), ...);
}

AnnotationArgumentImpl arg(uint32_t type, std::wstring key = L"", bool b = false, double f = 0.0,
                           std::wstring s = L"") {
    AnnotationArgumentImpl a;
    a.type = static_cast<zul::AnnotationArgumentType>(type);
    a.key = std::move(key);
    a.boolValue = b;
    a.floatValue = f;
    a.strValue = std::move(s);
    return a;
}

template <typename... Args>
AnnotationImpl annotation(std::wstring name, Args&&... args) {
    AnnotationImpl a;
    a.name = std::move(name);
    setList(a.numArguments, a.arguments, std::forward<Args>(args)...);
    return a;
}

template <typename T>
T named(uint32_t type, std::wstring name) {
    T t;
    t.name = std::move(name);
    if constexpr (std::is_same_v<T, EntryImpl>)
        t.returnType = static_cast<zul::AnnotationArgumentType>(type);
    else
        t.type = static_cast<zul::AnnotationArgumentType>(type);
    return t;
}

TEST(RuleFileInfoXml, RecordsAndTheirCopies) {
    RuleFileInfoImpl info;
    auto height = named<EntryImpl>(zul::AAT_FLOAT, L"height");
    setList(height.numAnnotations, height.annotations,
            annotation(L"@Range", arg(zul::AAT_FLOAT, L"min"), arg(zul::AAT_FLOAT, L"max", 0, 10)));
    auto label = named<ParameterImpl>(zul::AAT_STR, L"label");
    setList(label.numAnnotations, label.annotations, annotation(L"@Hidden"));
    auto lot = named<EntryImpl>(zul::AAT_BOOL, L"Lot");
    setList(lot.numParameters, lot.parameters, std::move(label));
    setList(info.numAttributes, info.attributes, std::move(height));
    setList(info.numRules, info.rules, std::move(lot), EntryImpl());
    // A copy keeps the value fields that an argument's type does not show.
    setList(info.numAnnotations, info.annotations,
            annotation(L"@Version", arg(zul::AAT_STR, L"", true, 0.5, L"1.0")));
    const std::string xml =
        "<rulefileinfo><attributes>"
        "<entry returntype=\"float\" name=\"height\"><parameters></parameters><annotations>\n"
        "<annotation name=\"@Range\"><arguments>"
        "<argument type=\"float\" key=\"min\" value=\"0\"/>"
        "<argument type=\"float\" key=\"max\" value=\"10\"/>"
        "</arguments></annotation></annotations>\n</entry>"
        "</attributes><rules>"
        "<entry returntype=\"bool\" name=\"Lot\"><parameters>"
        "<parameter type=\"str\" name=\"label\"><annotations>\n"
        "<annotation name=\"@Hidden\"><arguments></arguments></annotation></annotations>\n"
        "</parameter>"
        "</parameters><annotations>\n</annotations>\n</entry>"
        "<entry returntype=\"?\" name=\"\"><parameters></parameters>"
        "<annotations>\n</annotations>\n</entry>"
        "</rules><annotations>\n"
        "<annotation name=\"@Version\"><arguments><argument type=\"str\" value=\"1.0\"/>"
        "</arguments></annotation></annotations>\n"
        "</rulefileinfo>";
    EXPECT_EQ(toXMLString(info), xml);
    const std::unique_ptr<RuleFileInfoImpl> copy(info.clone());
    EXPECT_EQ(toXMLString(*copy), xml);
    const AnnotationArgumentImpl& a = copy->annotations[0].arguments[0];
    EXPECT_EQ(std::make_tuple(a.boolValue, a.floatValue), std::make_tuple(true, 0.5));
}

TEST(RuleFileInfoXml, ArgumentsByTypeKeyAndValue) {
    const std::wstring invalid = std::wstring(L"a") + wchar_t(0xD800) + L"<b" +
                                 static_cast<wchar_t>(0x110000) + L"\u00E9" + wchar_t(0x1F600);
    const size_t n = 20000;
    std::string quotes;
    for (size_t i = 0; i < n; ++i)
        quotes += "&quot;";
    const struct {
        uint32_t type;
        std::wstring key, s;
        double f;
        std::string xml; // between "<argument " and "/>"
    } cases[] = {
        // Only the value field of the argument's type counts.
        {0, L"", L"s", 2.5, R"(type="void" value="?")"},
        {1, L"", L"s", 2.5, R"(type="bool" value="true")"},
        {3, L"", L"s", 2.5, R"(type="str" value="s")"},
        {4, L"", L"s", 2.5, R"(type="?" value="?")"},
        {3, L"k<\u00E9", L"v", 0, "type=\"str\" key=\"k<\xC3\xA9\" value=\"v\""},
        // Floats as printf's %g with precision 6.
        {2, L"", L"", 1234567, R"(type="float" value="1.23457e+06")"},
        // String values are escaped, then UTF-8; invalid code points are dropped.
        {3, L"", L"a<b & 'c' \"q\">", 0,
         R"(type="str" value="a&lt;b &amp; &apos;c&apos; &quot;q&quot;&gt;")"},
        {3, invalid, invalid, 0,
         "type=\"str\" key=\"a<b\xC3\xA9\xF0\x9F\x98\x80\" "
         "value=\"a&lt;b\xC3\xA9\xF0\x9F\x98\x80\""},
        // Long texts grow many times over while they are written.
        {3, std::wstring(n, L'k'), std::wstring(n, L'"'), 0,
         "type=\"str\" key=\"" + std::string(n, 'k') + "\" value=\"" + quotes + "\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml.substr(0, 60));
        EXPECT_EQ(toXMLString(arg(c.type, c.key, true, c.f, c.s)), "<argument " + c.xml + "/>");
    }
    EXPECT_EQ(toXMLString(arg(zul::AAT_BOOL)), R"(<argument type="bool" value="false"/>)");
}

} // namespace
