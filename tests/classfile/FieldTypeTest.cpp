#include "ReadHelpers.h"

#include "classfile/FieldType.h"

#include <gtest/gtest.h>

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

// Class names end at the semicolon or the text; an unknown character fails
// (`what` set), naming what is left of the text.
TEST(FieldType, ClassNamesEndsAndUnknownCharacters) {
    const std::string deep(100000, '['); // many dimensions do not recurse
    const std::string fail = "Reading SGB failed: Unknown field type: ";
    const struct {
        std::string descriptor, name, rest, what, stderrText;
    } cases[] = {
        {"L;", "", "", "", ""},
        {"La/b/C", "a.b.C", "", "", ""},
        {deep + "I;", deep + "int", ";", "", ""},
        {"Qrest", "", "", fail + "Qrest", "unknown field type:Q\n"},
        {"", "", "", fail, "unknown field type:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor.substr(0, 20));
        std::vector<std::string> names;
        std::string rest;
        cftest::expectFailure([&] { rest = parseFieldType(c.descriptor, names); }, c.what,
                              c.stderrText);
        EXPECT_EQ(rest, c.rest);
        EXPECT_EQ(names,
                  c.what.empty() ? std::vector<std::string>{c.name} : std::vector<std::string>{});
    }
}

} // namespace
