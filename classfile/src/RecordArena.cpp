#include "classfile/RecordArena.h"
#include "classfile/ByteReader.h"

namespace classfile {

namespace {

// Without an input to size them from, chunks double from the first size up
// to the last, so that a small class takes little memory and a large one few
// chunks, with little left unused at the end of the last.
constexpr std::size_t kFirstChunk = 4 * 1024;
constexpr std::size_t kMaxChunk = 64 * 1024;

// Records per input byte assumed before any is read: below what a rule file
// takes, so that the first chunk is seldom larger than needed; the next chunk
// then follows the rate seen in the first.
constexpr double kFirstRate = 4.0;
// Above the rate seen so far, so that a class whose later records are a
// little denser than its earlier ones still takes no third chunk.
constexpr double kRateMargin = 1.0625;
// No chunk sized from the input is larger: neither a huge input of raw bytes
// nor a small class at the start of a long stream makes the arena ask for
// many times what it needs at once. Rule files take a few megabytes.
constexpr std::size_t kMaxSizedChunk = std::size_t{16} << 20;

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

std::size_t RecordArena::nextChunkSize() const {
    const std::size_t previous = mChunks ? mChunks->size : kFirstChunk / 2;
    const std::size_t doubled = std::min(previous * 2, kMaxChunk);
    if (mInput == nullptr || !mInput->endKnown())
        return doubled;
    const uint64_t left = mInput->remaining();
    const std::size_t used = mUsedBefore + static_cast<std::size_t>(mCursor - chunkStart());
    const uint64_t done = mInput->offset();
    const double rate = used == 0 || done == 0
                            ? kFirstRate
                            : static_cast<double>(used) / static_cast<double>(done) * kRateMargin;
    const double wanted = rate * static_cast<double>(left);
    if (wanted >= static_cast<double>(kMaxSizedChunk))
        return kMaxSizedChunk;
    return std::max(static_cast<std::size_t>(wanted), kFirstChunk);
}

void RecordArena::startChunk(std::size_t size) {
    const std::size_t usable = std::max(nextChunkSize(), size);
    if (mChunks)
        mUsedBefore += static_cast<std::size_t>(mCursor - chunkStart());
    auto* chunk = static_cast<Chunk*>(::operator new(kHeader + usable));
    chunk->next = mChunks;
    chunk->size = usable;
    mChunks = chunk;
    mReserved += kHeader + usable;
    mCursor = chunkStart();
    mEnd = mCursor + usable;
#if defined(ZUL_ARENA_ASAN)
    ASAN_POISON_MEMORY_REGION(mCursor, usable);
#endif
}

} // namespace classfile
