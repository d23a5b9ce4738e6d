#include "sgb/EntryWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

template <typename T>
const T& payload(const zulx::RuleData& record, size_t i) {
    return *static_cast<const T*>(record.constants.at(i)->payload);
}

TEST(EntryWriterTest, MethodsEnterTheMethodIndexAndTheLaterIndexWins) {
    zulx::RuleData record;
    sgb::EntryWriter writer(record);
    for (size_t index : {3u, 8u}) {
        auto method = std::make_unique<zulx::MethodRecord>();
        method->index = static_cast<int32_t>(index);
        method->name = L"rule";
        method->descriptor = L"(D)V";
        writer.putMethod(index, std::move(method));
    }
    ASSERT_EQ(record.constants.size(), 9u);
    EXPECT_EQ(record.constants[3]->tag, 3);
    EXPECT_EQ(payload<zulx::MethodRecord>(record, 8).index, 8);
    ASSERT_EQ(record.methodIndex.size(), 1u);
    EXPECT_EQ(record.methodIndex.at(L"rule(D)V"), 8);
}

TEST(EntryWriterTest, StoringAnIndexTwiceIsRefusedWithoutLeaking) {
    zulx::RuleData record;
    sgb::EntryWriter writer(record);
    writer.putInteger(2, 1);
    EXPECT_THROW(writer.putString(2, L"again"), std::logic_error);
    EXPECT_EQ(record.constants.size(), 3u);
    EXPECT_EQ(payload<int32_t>(record, 2), 1);
}

} // namespace
