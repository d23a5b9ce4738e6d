#include "ReadHelpers.h"

#include "classfile/FieldType.h"

#include <gtest/gtest.h>

using cftest::failureOf;
using classfile::parseFieldType;

namespace {

TEST(FieldType, WalksAMethodDescriptorTypeByType) {
    std::string rest = "BCDFIJSZ[JLa/B;[[Lc/D;)V";
    std::vector<std::string> names;
    while (!rest.empty() && rest[0] != ')')
        rest = parseFieldType(rest, names);
    EXPECT_EQ(parseFieldType(rest.substr(1), names), "");
    EXPECT_EQ(names,
              (std::vector<std::string>{"byte", "char", "double", "float", "int", "long", "short",
                                        "boolean", "[long", "a.B", "[[c.D", "void"}));
}

TEST(FieldType, ClassNamesEndAtTheSemicolonOrTheText) {
    const std::string deep(100000, '['); // many dimensions do not recurse
    const struct {
        std::string descriptor, name, rest;
    } cases[] = {
        {"L;", "", ""},
        {"La/b/C", "a.b.C", ""},
        {deep + "I;", deep + "int", ";"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor.substr(0, 20));
        std::vector<std::string> names{"before"};
        EXPECT_EQ(parseFieldType(c.descriptor, names), c.rest);
        EXPECT_EQ(names, (std::vector<std::string>{"before", c.name}));
    }
}

TEST(FieldType, UnknownCharacterFails) {
    const struct {
        std::string descriptor;
        const char* what;
        const char* stderrText;
    } cases[] = {
        {"Qrest", "Reading SGB failed: Unknown field type: Qrest", "unknown field type:Q\n"},
        {"[Q", "Reading SGB failed: Unknown field type: Q", "unknown field type:Q\n"},
        {"", "Reading SGB failed: Unknown field type: ", "unknown field type:\n"},
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
