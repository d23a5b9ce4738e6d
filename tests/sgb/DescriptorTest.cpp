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

// Each expected code with the descriptors that give it.
using Grouped = std::vector<std::pair<int32_t, std::vector<const char*>>>;

TEST(DescriptorTest, FieldTypeCodes) {
    const Grouped cases = {
        {0, {"V"}},
        {1, {"Z"}},
        {2, {"D"}},
        {3, {"Ljava/lang/String;", "Lmy/OwnString;"}},
        {4, {"I"}},
        {5,
         {"B", "C", "F", "J", "S", "Lcom/ulno/gc/SplitNode;", "Ljava/lang/Strings;", "[D", "", "DD",
          "Ljava/lang/String"}},
    };
    for (const auto& [code, descriptors] : cases)
        for (const char* descriptor : descriptors)
            EXPECT_EQ(sgb::typeCode(descriptor), static_cast<uint32_t>(code)) << descriptor;
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
    const Grouped cases = {
        {0, {"I", "Z", "Zanything"}},
        {1, {"D"}},
        {2, {"L", "Ljava/lang/String;", "Lcom/ulno/gc/SplitNode;"}},
        {-1, {"J", "F", "II", "DD", "[I", "", "B"}},
    };
    for (const auto& [code, descriptors] : cases)
        for (const char* descriptor : descriptors)
            EXPECT_EQ(sgb::localTypeCode(descriptor), code) << descriptor;
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_INT), 1);
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_DOUBLE), 2);
    EXPECT_EQ(sgb::localSlotWidth(sgb::LOCAL_OBJECT), 1);
}

} // namespace
