#include "ReadHelpers.h"

#include "classfile/FieldType.h"

#include <gtest/gtest.h>

using cftest::failureOf;
using classfile::parseFieldType;

namespace {

TEST(FieldType, NamesTheFirstTypeAndReturnsTheRest) {
    const std::string deep(100000, '['); // many dimensions do not recurse
    const struct {
        std::string descriptor, name, rest;
    } cases[] = {
        {"B", "byte", ""},
        {"C", "char", ""},
        {"D", "double", ""},
        {"F", "float", ""},
        {"I", "int", ""},
        {"J", "long", ""},
        {"S", "short", ""},
        {"V", "void", ""},
        {"Z", "boolean", ""},
        {"IJ)V", "int", "J)V"},
        {"Ljava/lang/String;I", "java.lang.String", "I"},
        {"[Ljava/lang/String;I", "[java.lang.String", "I"},
        {"[[I)", "[[int", ")"},
        {"LNoPackage;", "NoPackage", ""},
        {"L;", "", ""},
        {"La/b/C", "a.b.C", ""}, // no ";": the whole text is the name
        {deep + "I;", deep + "int", ";"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor.substr(0, 20));
        std::vector<std::string> names{"before"};
        EXPECT_EQ(parseFieldType(c.descriptor, names), c.rest);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[1], c.name);
    }
}

TEST(FieldType, WalksAMethodDescriptor) {
    std::string rest = "(I[JLa/B;)[[Lc/D;";
    std::vector<std::string> names;
    rest = rest.substr(1);
    while (!rest.empty() && rest[0] != ')')
        rest = parseFieldType(rest, names);
    parseFieldType(rest.substr(1), names);
    EXPECT_EQ(names, (std::vector<std::string>{"int", "[long", "a.B", "[[c.D"}));
}

TEST(FieldType, UnknownCharacterFails) {
    const struct {
        std::string descriptor;
        const char* what;
        const char* stderrText;
    } cases[] = {
        {"Q", "Reading SGB failed: Unknown field type: Q", "unknown field type:Q\n"},
        {"Qrest", "Reading SGB failed: Unknown field type: Qrest", "unknown field type:Q\n"},
        {")V", "Reading SGB failed: Unknown field type: )V", "unknown field type:)\n"},
        {"[Q", "Reading SGB failed: Unknown field type: Q", "unknown field type:Q\n"},
        {"", "Reading SGB failed: Unknown field type: ", "unknown field type:\n"},
        {"[", "Reading SGB failed: Unknown field type: ", "unknown field type:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor);
        std::vector<std::string> names;
        const cftest::Failure f =
            failureOf<std::runtime_error>([&] { parseFieldType(c.descriptor, names); });
        ASSERT_TRUE(f.thrown);
        EXPECT_EQ(f.what, c.what);
        EXPECT_EQ(f.stderrText, c.stderrText);
        EXPECT_TRUE(names.empty());
    }
}

} // namespace
