#include "sgb/EntryWriter.h"
#include "sgb/Enum.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

template <typename T>
const T& payload(const zulx::RuleData& record, size_t i) {
    return *static_cast<const T*>(record.constants.at(i)->payload);
}

TEST(EntryWriterTest, StoresEachKindWithItsTagAndLeavesGapsNull) {
    zulx::RuleData record;
    sgb::EntryWriter writer(record);
    writer.putString(1, L"text");
    writer.putDouble(2, 2.5);
    writer.putInteger(4, -7);
    writer.putBuiltin(5, 339);
    writer.putCreateShape(6);
    writer.putEnumType(7, 3);
    writer.putEnumValue(9, 29, L"AreaSelector.world$west");

    ASSERT_EQ(record.constants.size(), 10u);
    for (size_t i : {0u, 3u, 8u})
        EXPECT_EQ(record.constants[i], nullptr) << i;
    const struct {
        size_t index;
        int32_t tag;
    } tags[] = {{1, 0}, {2, 1}, {4, 2}, {5, 4}, {6, 5}, {7, 6}, {9, 7}};
    for (const auto& t : tags)
        EXPECT_EQ(record.constants[t.index]->tag, t.tag) << t.index;

    EXPECT_EQ(*payload<std::shared_ptr<std::wstring>>(record, 1), L"text");
    EXPECT_EQ(payload<double>(record, 2), 2.5);
    EXPECT_EQ(payload<int32_t>(record, 4), -7);
    EXPECT_EQ(payload<int32_t>(record, 5), 339);
    EXPECT_EQ(record.constants[6]->payload, nullptr);
    EXPECT_EQ(payload<int32_t>(record, 7), 3);
    const auto& value = payload<std::shared_ptr<::SGB::Enum>>(record, 9);
    EXPECT_EQ(value->value, 29);
    EXPECT_EQ(value->name, L"AreaSelector.world$west");
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
