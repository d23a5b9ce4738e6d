#include "classfile/Pooled.h"

#include <algorithm>
#include <functional>

namespace classfile {

RecordArena::~RecordArena() {
    while (mChunks) {
        Chunk* next = mChunks->next;
        ::operator delete(mChunks);
        mChunks = next;
    }
}

void RecordArena::startChunk(std::size_t size) {
    // Chunks double up to a fixed size: few of them for a small class, and
    // little memory left unused at the end of a large one.
    const std::size_t previous = mChunks ? mChunks->size : kFirstChunk / 2;
    const std::size_t usable = std::max(std::min(previous * 2, kMaxChunk), size);
    auto* chunk = static_cast<Chunk*>(::operator new(kHeader + usable));
    chunk->next = mChunks;
    chunk->size = usable;
    mChunks = chunk;
    mCursor = reinterpret_cast<char*>(chunk) + kHeader;
    mEnd = mCursor + usable;
}

bool RecordArena::owns(const void* p) const {
    const std::less<const void*> before;
    for (const Chunk* c = mChunks; c; c = c->next) {
        const char* begin = reinterpret_cast<const char*>(c) + kHeader;
        if (!before(p, begin) && before(p, begin + c->size))
            return true;
    }
    return false;
}

} // namespace classfile
