#include "classfile/RecordArena.h"

namespace classfile {

namespace {

// Chunks double from the first size up to the last, so that a small class
// takes little memory and a large one few chunks, with little left unused at
// the end of the last. The last size stays below the general allocator's
// threshold for mapping blocks of their own: mapping and unmapping the chunks
// of every class read would cost more in page faults than reading it.
constexpr std::size_t kFirstChunk = 4 * 1024;
constexpr std::size_t kMaxChunk = 64 * 1024;

} // namespace

RecordArena::~RecordArena() {
    while (mChunks) {
        Chunk* next = mChunks->next;
#if defined(ZUL_ARENA_ASAN)
        // Handed back to the heap, whose own poisoning takes over.
        ASAN_UNPOISON_MEMORY_REGION(mChunks, kHeader + mChunks->size);
#endif
        ::operator delete(mChunks);
        mChunks = next;
    }
}

void RecordArena::startChunk(std::size_t size) {
    const std::size_t previous = mChunks ? mChunks->size : kFirstChunk / 2;
    const std::size_t usable = std::max(std::min(previous * 2, kMaxChunk), size);
    auto* chunk = static_cast<Chunk*>(::operator new(kHeader + usable));
    chunk->next = mChunks;
    chunk->size = usable;
    mChunks = chunk;
    mReserved += kHeader + usable;
    mCursor = reinterpret_cast<char*>(chunk) + kHeader;
    mEnd = mCursor + usable;
#if defined(ZUL_ARENA_ASAN)
    ASAN_POISON_MEMORY_REGION(mCursor, usable);
#endif
}

} // namespace classfile
