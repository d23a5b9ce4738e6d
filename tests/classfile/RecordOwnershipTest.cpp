// Records belong to their class's arena: no record can be moved or copied
// out of a class as an owner, lists hand out plain pointers and check their
// bounds, and the arena poisons what it has not handed out, so that the
// address sanitizer sees a read past a record as it sees one past a heap
// block.
#include "ReadHelpers.h"

#include "classfile/ClassInfo.h"
#include "classfile/RecordArena.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using namespace classfile;

template <typename... T>
constexpr bool noneMovable(std::tuple<T...>*) {
    return ((!std::is_move_constructible_v<T> && !std::is_copy_constructible_v<T> &&
             !std::is_move_assignable_v<T>)&&...);
}

using Records = std::tuple<ConstantPool, CPEUtf8, CPEMethodRef, FieldInfo, MethodInfo,
                           AttributeCode, AttributeLocalVariableTable,
                           AttributeRuntimeVisibleAnnotations, AnnotationInfo, ElementValue>;
static_assert(noneMovable(static_cast<Records*>(nullptr)),
              "a record moved or copied out of its class would outlive the class's arena");
static_assert(std::is_same_v<decltype(ClassInfo::methods)::value_type, const MethodInfo*> &&
                  std::is_same_v<AttributeList::value_type, const Attribute*> &&
                  std::is_same_v<AnnotationList::value_type, const AnnotationInfo*>,
              "lists refer to records without owning them");

TEST(RecordOwnership, WhatOutlivesTheClassIsCopiedOutOfIt) {
    // Moving an element out of a list moves a plain pointer; what a caller
    // keeps after the class is gone is a copy of a record's values.
    testsupport::ClassWriter w = cftest::minimalWriter();
    w.addMethod(1, "run", "()V", {w.code(1, 1, {0x03, 0xB1})});
    auto read = cftest::readClass(w);
    const MethodInfo* moved = std::move(read.cls->methods[0]);
    EXPECT_EQ(read.cls->methods[0], moved);
    const std::vector<uint8_t> kept(moved->code()->code.begin(), moved->code()->code.end());
    read.cls.reset();
    EXPECT_EQ(kept, (std::vector<uint8_t>{0x03, 0xB1}));
}

TEST(RecordOwnership, ListsIndexAndIterateTheirRecords) {
    RecordArena arena;
    RecordListBuilder<uint32_t> values(arena, 1); // grows past what was expected
    for (uint32_t v : {5u, 7u, 9u})
        values.push_back(v);
    const RecordList<uint32_t> numbers = values.list();
    EXPECT_EQ(numbers, (std::vector<uint32_t>{5, 7, 9}));
    EXPECT_EQ(numbers.at(2), 9u);
    EXPECT_THROW(numbers.at(3), std::out_of_range);

    // Records laid out in place iterate as pointers to them, in order.
    struct Row {
        int value;
    };
    InPlaceListBuilder<Row> rows(arena, 2); // grows too
    for (int v : {10, 20, 30, 40, 50})
        new (rows.slot()) Row{v};
    const InPlaceList<Row> list = rows.list();
    ASSERT_EQ(list.size(), 5u);
    std::vector<int> seen;
    for (const Row* row : list)
        seen.push_back(row->value);
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50}));
    const auto first = list.begin();
    EXPECT_EQ(first[3], list[3]);
    EXPECT_EQ(first[3]->value, 40);
    EXPECT_EQ(list.end() - first, 5);
    EXPECT_TRUE(first < list.end());
    EXPECT_FALSE(list.end() < first);
    EXPECT_EQ(list.back()->value, 50);
    EXPECT_THROW(list.at(5), std::out_of_range);
}

TEST(RecordOwnership, ArenaPoisonsWhatItHasNotHandedOut) {
#if defined(ZUL_ARENA_ASAN)
    RecordArena arena;
    auto* first = static_cast<char*>(arena.allocate(3));
    EXPECT_FALSE(__asan_address_is_poisoned(first + 2));
    // The rounding up to the record alignment and the rest of the chunk.
    EXPECT_TRUE(__asan_address_is_poisoned(first + 3));
    EXPECT_TRUE(__asan_address_is_poisoned(first + RecordArena::kAlign));
    auto* second = static_cast<char*>(arena.allocate(RecordArena::kAlign));
    EXPECT_EQ(second, first + RecordArena::kAlign);
    EXPECT_FALSE(__asan_address_is_poisoned(second + RecordArena::kAlign - 1));
    EXPECT_TRUE(__asan_address_is_poisoned(second + RecordArena::kAlign));
#else
    GTEST_SKIP() << "built without the address sanitizer";
#endif
}

} // namespace
