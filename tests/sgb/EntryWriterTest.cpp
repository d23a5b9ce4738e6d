#include "sgb/EntryWriter.h"
#include "sgb/CPEntry.h"

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

TEST(EntryWriterTest, TheHostsRecordFreesEveryKindOfEntry) {
    // The sanitizer build reports a leak if a payload or an entry is not freed.
    std::unique_ptr<zulx::SGB> sgb(zulx::SGB::create());
    sgb::EntryWriter writer(*sgb->data);
    writer.putString(1, L"s");
    writer.putDouble(2, 2.5);
    writer.putInteger(4, 7);
    writer.putMethod(5, std::make_unique<zulx::MethodRecord>());
    writer.putBuiltin(6, 0);
    writer.putCreateShape(7);
    writer.putEnumType(8, 0);
    writer.putEnumValue(9, 1, L"E.a");
    EXPECT_EQ(sgb->data->constants.size(), 10u);
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
