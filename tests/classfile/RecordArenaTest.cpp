#include "classfile/Pooled.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using classfile::RecordArena;

TEST(RecordArena, BlocksAreAlignedApartAndOwned) {
    RecordArena arena;
    RecordArena other;
    std::vector<std::pair<char*, size_t>> blocks;
    // Sizes from a byte to several first chunks, so that chunks overflow and
    // an oversized request gets a chunk of its own.
    const size_t sizes[] = {1, 7, 16, 24, 100, 255, 4096, 20000, 3, 64};
    for (int round = 0; round < 50; ++round)
        for (size_t size : sizes) {
            auto* p = static_cast<char*>(arena.allocate(size));
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % RecordArena::kAlign, 0u);
            std::memset(p, static_cast<int>(blocks.size() & 0x7F), size);
            blocks.emplace_back(p, size);
        }
    for (size_t i = 0; i < blocks.size(); ++i) {
        const auto [p, size] = blocks[i];
        EXPECT_TRUE(arena.owns(p));
        EXPECT_TRUE(arena.owns(p + size - 1));
        EXPECT_FALSE(other.owns(p));
        EXPECT_EQ(p[0], static_cast<char>(i & 0x7F)) << "block " << i << " was overwritten";
        EXPECT_EQ(p[size - 1], static_cast<char>(i & 0x7F)) << "block " << i;
    }
    const auto heap = std::make_unique<char[]>(64);
    EXPECT_FALSE(arena.owns(heap.get()));
}

int gDestroyed = 0;

struct Counted : classfile::Pooled {
    ~Counted() { ++gDestroyed; }
    std::vector<int> owned = std::vector<int>(100, 1); // heap memory the destructor must free
    char payload[40] = {};
};

TEST(RecordArena, RecordsMadeInScopeAreDestroyedOnce) {
    gDestroyed = 0;
    RecordArena arena;
    {
        const RecordArena::Scope scope(&arena);
        std::vector<std::unique_ptr<Counted>> records;
        for (int i = 0; i < 1000; ++i)
            records.push_back(std::make_unique<Counted>());
        records.clear();
    }
    EXPECT_EQ(gDestroyed, 1000);
    EXPECT_EQ(RecordArena::active(), nullptr);
}

TEST(RecordArena, ScopesNestAndRestore) {
    RecordArena outer;
    RecordArena inner;
    EXPECT_EQ(RecordArena::active(), nullptr);
    {
        const RecordArena::Scope a(&outer);
        EXPECT_EQ(RecordArena::active(), &outer);
        {
            const RecordArena::Scope b(&inner);
            EXPECT_EQ(RecordArena::active(), &inner);
            const RecordArena::Scope none(nullptr);
            EXPECT_EQ(RecordArena::active(), nullptr);
            // Without an arena records come from the block cache as before.
            auto record = std::make_unique<Counted>();
            EXPECT_FALSE(inner.owns(record.get()));
            EXPECT_FALSE(outer.owns(record.get()));
        }
        EXPECT_EQ(RecordArena::active(), &outer);
    }
    EXPECT_EQ(RecordArena::active(), nullptr);
}

// Lists inside records take their storage from the active arena, grow
// there, and are dropped with it; without an arena they are ordinary heap
// vectors. The sanitizer builds keep every list on the heap.
TEST(RecordAllocator, ListsTakeTheActiveArenaOrTheHeap) {
    RecordArena arena;
    {
        const RecordArena::Scope scope(&arena);
        classfile::RecordVector<uint16_t> list;
        for (uint16_t i = 0; i < 3000; ++i)
            list.push_back(i); // grows through several reallocations
        EXPECT_EQ(arena.owns(list.data()), classfile::recordPooling());
        for (uint16_t i = 0; i < 3000; ++i)
            ASSERT_EQ(list[i], i);
    }
    classfile::RecordVector<uint64_t> heap(100, 7);
    EXPECT_FALSE(arena.owns(heap.data()));
    heap.resize(1000, 9);
    EXPECT_EQ(heap[99], 7u);
    EXPECT_EQ(heap[999], 9u);
}

} // namespace
