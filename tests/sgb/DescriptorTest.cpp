#include "sgb/Descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Codes = std::vector<uint32_t>;

Codes parameters(const char* descriptor) {
    const auto codes = sgb::parameterTypeCodes(descriptor);
    return Codes(codes.begin(), codes.end());
}

TEST(DescriptorTest, FieldTypeCodes) {
    const struct {
        const char* descriptor;
        uint32_t code;
    } cases[] = {
        {"V", 0},
        {"Z", 1},
        {"D", 2},
        {"Ljava/lang/String;", 3},
        {"Lmy/OwnString;", 3},
        {"I", 4},
        {"B", 5},
        {"C", 5},
        {"F", 5},
        {"J", 5},
        {"S", 5},
        {"Lcom/ulno/gc/SplitNode;", 5},
        {"Ljava/lang/Strings;", 5},
        {"[D", 5},
        {"", 5},
        {"DD", 5},
        {"Ljava/lang/String", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sgb::typeCode(c.descriptor), c.code) << c.descriptor;
}

TEST(DescriptorTest, ReturnAndParameterTypes) {
    const struct {
        const char* descriptor;
        uint32_t returnCode;
        Codes parameters;
    } cases[] = {
        {"()V", 0, {}},
        {"(D)D", 2, {2}},
        {"(DZLjava/lang/String;I)Z", 1, {2, 1, 3, 4}},
        {"(Lcom/ulno/gc/Comp;DZI)Lcom/ulno/gc/SplitNode;", 5, {5, 2, 1, 4}},
        {"(Ljava/lang/String;)Ljava/lang/String;", 3, {3}},
        {"([[DJ[Ljava/lang/String;)V", 0, {5, 5, 5}}, // arrays are one unsupported parameter
        {"(D", 5, {2}},                               // no ")"
        {"(Ljava/lang", 5, {}},                       // cut inside a class name
        {"(DD)", 5, {2, 2}},                          // no return type
        {"D)V", 0, {}},                               // no "("
        {"", 5, {}},
        {"([", 5, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sgb::returnTypeCode(c.descriptor), c.returnCode) << c.descriptor;
        EXPECT_EQ(parameters(c.descriptor), c.parameters) << c.descriptor;
    }
}

TEST(DescriptorTest, LocalTypesAndSlotWidths) {
    const struct {
        const char* descriptor;
        int32_t code;
    } cases[] = {
        {"I", 0},
        {"Z", 0},
        {"Zanything", 0},
        {"D", 1},
        {"L", 2},
        {"Ljava/lang/String;", 2},
        {"Lcom/ulno/gc/SplitNode;", 2},
        {"J", -1},
        {"F", -1},
        {"II", -1},
        {"DD", -1},
        {"[I", -1},
        {"", -1},
        {"B", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sgb::localTypeCode(c.descriptor), c.code) << c.descriptor;
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_INT), 1);
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_DOUBLE), 2);
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_OBJECT), 1);
}

} // namespace
