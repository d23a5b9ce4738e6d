// Records belong to their class's arena: no record can be moved or copied
// out of a class as an owner, lists hand out plain pointers, and the arena
// poisons what it has not handed out, so that the address sanitizer sees a
// read past a record as it sees one past a heap block.
#include "ReadHelpers.h"

#include "classfile/ClassInfo.h"
#include "classfile/RecordArena.h"

#include <gtest/gtest.h>

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
