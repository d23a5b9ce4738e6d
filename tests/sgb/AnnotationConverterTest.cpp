#include "sgb/AnnotationConverter.h"

#include "classfile/ClassInfo.h"
#include "sgbtest/RuleFileWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using sgbtest::Arg;
using sgbtest::RuleFileWriter;
using testsupport::AnnotationSpec;
using testsupport::ElementValueSpec;

// Writes `nested` inside a container on the class, reads the class back and
// converts the first nested annotation.
struct Converted {
    std::unique_ptr<classfile::ClassInfo> cls;
    rulefileinfo::AnnotationImpl annotation;
};

Converted convert(RuleFileWriter& f, const AnnotationSpec& nested) {
    f.w.addAttribute(f.w.annotations({f.container(std::vector<AnnotationSpec>{nested})}));
    std::istringstream in(f.str());
    Converted result;
    result.cls = std::make_unique<classfile::ClassInfo>(in);
    const auto* attribute = classfile::findAttribute<classfile::AttributeRuntimeVisibleAnnotations>(
        result.cls->attributes);
    const classfile::AnnotationInfo& container = *attribute->annotations.at(0);
    EXPECT_TRUE(sgb::isContainerAnnotation(result.cls->pool(), container));
    const classfile::AnnotationInfo* first = nullptr;
    sgb::forEachNested(container, [&](const classfile::AnnotationInfo& n) {
        if (!first)
            first = &n;
    });
    EXPECT_NE(first, nullptr);
    if (first)
        sgb::convertAnnotation(result.cls->pool(), result.annotation, *first);
    return result;
}

TEST(AnnotationConverterTest, EveryArgumentType) {
    RuleFileWriter f;
    const auto nested = f.encode({"@Range",
                                  {Arg::number("min", 0.25),
                                   Arg::text("unit", "m\xC2\xB2"),
                                   Arg::boolean("open", true),
                                   Arg::boolean("", false),
                                   {'x', "odd", true, 3.0, "s"}}});
    const Converted c = convert(f, nested);
    const rulefileinfo::AnnotationImpl& a = c.annotation;
    EXPECT_EQ(a.name, L"@Range");
    ASSERT_EQ(a.numArguments, 5u);
    const struct {
        zul::AnnotationArgumentType type;
        const wchar_t* key;
        bool b;
        double f;
        const wchar_t* s;
    } expected[] = {
        {zul::AAT_FLOAT, L"min", false, 0.25, L""},
        {zul::AAT_STR, L"unit", false, 0.0, L"m\u00B2"},
        {zul::AAT_BOOL, L"open", true, 0.0, L""},
        {zul::AAT_BOOL, L"", false, 0.0, L""},
        {zul::AAT_UNKNOWN, L"odd", true, 3.0, L"s"}, // every array is read whatever the type
    };
    for (size_t i = 0; i < 5; ++i) {
        const auto& arg = a.arguments[i];
        EXPECT_EQ(arg.type, expected[i].type) << i;
        EXPECT_EQ(arg.key, expected[i].key) << i;
        EXPECT_EQ(arg.boolValue, expected[i].b) << i;
        EXPECT_EQ(arg.floatValue, expected[i].f) << i;
        EXPECT_EQ(arg.strValue, expected[i].s) << i;
    }
}

TEST(AnnotationConverterTest, OnlyANameGivesNoArguments) {
    RuleFileWriter f;
    const auto nested =
        f.w.annotation("LX;", {{"name", ElementValueSpec::constant('s', f.w.utf8("$StartRule"))}});
    const Converted c = convert(f, nested);
    EXPECT_EQ(c.annotation.name, L"$StartRule");
    EXPECT_EQ(c.annotation.numArguments, 0u);
    EXPECT_EQ(c.annotation.arguments, nullptr);
}

ElementValueSpec arrayOf(char tag, std::vector<uint16_t> indexes) {
    std::vector<ElementValueSpec> values;
    for (uint16_t i : indexes)
        values.push_back(ElementValueSpec::constant(tag, i));
    return ElementValueSpec::array(values);
}

TEST(AnnotationConverterTest, ShortArraysAndUnexpectedConstantsGiveDefaults) {
    RuleFileWriter f;
    auto& w = f.w;
    const uint16_t f_ = w.integer('f');
    const uint16_t s_ = w.integer('s');
    const uint16_t text = w.utf8("value");
    const uint16_t number = w.doubleValue(4.5);
    const uint16_t integer = w.integer(7);
    const auto nested =
        w.annotation("LX;", {
                                // The first array met sets the argument count: 3.
                                {"svals", arrayOf('s', {text, integer, text})},
                                {"types", arrayOf('C', {f_, s_, f_})},
                                {"names", arrayOf('s', {w.utf8("k0")})}, // shorter than the count
                                {"dvals", arrayOf('D', {number, integer})},
                                {"bvals", arrayOf('Z', {integer, number, w.integer(0)})},
                                {"unknown", arrayOf('s', {text})},
                                {"name", ElementValueSpec::constant('s', w.utf8("@Mixed"))},
                            });
    const Converted c = convert(f, nested);
    const rulefileinfo::AnnotationImpl& a = c.annotation;
    EXPECT_EQ(a.name, L"@Mixed");
    ASSERT_EQ(a.numArguments, 3u);
    EXPECT_EQ(a.arguments[0].key, L"k0");
    EXPECT_EQ(a.arguments[1].key, L"");
    EXPECT_EQ(a.arguments[2].key, L"");
    EXPECT_EQ(a.arguments[0].strValue, L"value");
    EXPECT_EQ(a.arguments[1].strValue, L""); // not a text constant: left unchanged
    EXPECT_EQ(a.arguments[0].floatValue, 4.5);
    EXPECT_EQ(a.arguments[1].floatValue, 0.0); // an integer constant gives 0.0
    EXPECT_EQ(a.arguments[2].floatValue, 0.0); // beyond the array: default
    EXPECT_TRUE(a.arguments[0].boolValue);
    EXPECT_FALSE(a.arguments[1].boolValue); // a double is not an integer constant
    EXPECT_FALSE(a.arguments[2].boolValue);
    EXPECT_EQ(a.arguments[0].type, zul::AAT_FLOAT);
    EXPECT_EQ(a.arguments[1].type, zul::AAT_STR);
}

TEST(AnnotationConverterTest, EmptyFirstArrayLeavesTheCountToTheNextOne) {
    RuleFileWriter f;
    auto& w = f.w;
    const auto nested =
        w.annotation("LX;", {{"names", ElementValueSpec::array({})},
                             {"types", arrayOf('C', {w.integer('b'), w.integer('q')})}});
    const Converted c = convert(f, nested);
    ASSERT_EQ(c.annotation.numArguments, 2u);
    EXPECT_EQ(c.annotation.arguments[0].type, zul::AAT_BOOL);
    EXPECT_EQ(c.annotation.arguments[1].type, zul::AAT_UNKNOWN);
}

TEST(AnnotationConverterTest, ContainerTypeIsComparedOverItsTwentyEightCharacters) {
    RuleFileWriter f;
    const struct {
        const char* type;
        bool container;
    } cases[] = {
        {"Lcom/ulno/gc/SGLAnnotations;", true},
        {"Lcom/ulno/gc/SGLAnnotations;Extra", true},
        {"Lcom/ulno/gc/SGLAnnotations", false},
        {"Lcom/ulno/gc/SGLAnnotation;", false},
        {"", false},
    };
    std::vector<AnnotationSpec> list;
    for (const auto& c : cases)
        list.push_back(f.w.annotation(c.type, {}));
    f.w.addAttribute(f.w.annotations(list));
    std::istringstream in(f.str());
    const classfile::ClassInfo cls(in);
    const auto* attribute =
        classfile::findAttribute<classfile::AttributeRuntimeVisibleAnnotations>(cls.attributes);
    ASSERT_EQ(attribute->annotations.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(sgb::isContainerAnnotation(cls.pool(), *attribute->annotations[i]),
                  cases[i].container)
            << cases[i].type;
}

} // namespace
