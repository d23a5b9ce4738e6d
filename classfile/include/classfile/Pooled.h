#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace classfile {

/// Storage for all the records of one class file, handed out in order and
/// freed in one go. While an arena is active on a thread (see Scope) every
/// Pooled record made there takes its memory from it, and deleting a record
/// it holds only runs the destructor: tearing down a class then costs no
/// walk of the general allocator over thousands of small blocks. Whatever
/// Pooled record is deleted while an arena is active must have been made in
/// it: the arena owns its records' lifetime as the class file does.
class RecordArena {
public:
    RecordArena() = default;
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    /// Makes `arena` (may be null) the thread's active arena until destroyed.
    class Scope {
    public:
        explicit Scope(RecordArena* arena) : mPrevious(active()) { active() = arena; }
        ~Scope() { active() = mPrevious; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RecordArena* mPrevious;
    };

    /// The thread's active arena, or null.
    static RecordArena*& active() {
        static thread_local RecordArena* current = nullptr;
        return current;
    }

    /// Alignment of every block handed out. Records hold pointers, integers
    /// and doubles, none of which needs more; a tighter packing than the
    /// general allocator's 16 bytes saves a tenth of the memory.
    static constexpr std::size_t kAlign = std::max(alignof(double), alignof(void*));

    void* allocate(std::size_t size) {
        const std::size_t rounded = (size + kAlign - 1) / kAlign * kAlign;
        if (rounded > static_cast<std::size_t>(mEnd - mCursor))
            startChunk(rounded);
        void* p = mCursor;
        mCursor += rounded;
        return p;
    }
    /// True when `p` lies in one of this arena's chunks.
    bool owns(const void* p) const;

private:
    struct Chunk {
        Chunk* next;
        std::size_t size; ///< usable bytes after the header
    };
    static constexpr std::size_t kHeader = (sizeof(Chunk) + kAlign - 1) / kAlign * kAlign;
    static constexpr std::size_t kFirstChunk = 4096;
    static constexpr std::size_t kMaxChunk = 64 * 1024;

    // Makes a new chunk of at least `size` usable bytes the current one.
    void startChunk(std::size_t size);

    Chunk* mChunks = nullptr;
    char* mCursor = nullptr;
    char* mEnd = nullptr;
};

/// True when records take memory from arenas and block caches: not under the
/// address and thread sanitizers, which must see every allocation of their
/// own to check it.
constexpr bool recordPooling() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

/// Base of the many small records a class file is read into (pool entries,
/// attributes, members, annotations). Their memory comes from a per-thread
/// cache of freed blocks: reading a class allocates hundreds of them and
/// frees them together, a pattern the general allocator serves slowly. The
/// cache keeps at most a bounded number of blocks per size. Records made
/// while a RecordArena is active come from that arena instead. Both are
/// bypassed under the address and thread sanitizers.
class Pooled {
public:
    static void* operator new(std::size_t size) { return allocate(size); }
    static void operator delete(void* p, std::size_t size) noexcept { release(p, size); }

private:
    static constexpr std::size_t kGranule = 16;
    static constexpr std::size_t kClasses = 16; // blocks up to 256 bytes
    static constexpr uint32_t kMaxCached = 4096;

    struct Block {
        Block* next;
    };
    // Plain data, so that reaching it costs no initialisation check.
    struct Lists {
        Block* heads[kClasses];
        uint32_t counts[kClasses];
        bool armed; ///< the reaper is registered for this thread
        bool gone;  ///< the reaper has run: later frees go to the heap
    };
    static Lists& lists() {
        static thread_local Lists l{};
        return l;
    }
    // Returns the cached blocks to the heap when the thread ends.
    struct Reaper {
        ~Reaper() {
            Lists& l = lists();
            l.gone = true;
            for (Block*& head : l.heads)
                while (head) {
                    Block* next = head->next;
                    ::operator delete(head);
                    head = next;
                }
        }
    };

    static void* allocate(std::size_t size) {
        if (recordPooling())
            if (RecordArena* arena = RecordArena::active())
                return arena->allocate(size);
        const std::size_t cls = (size + kGranule - 1) / kGranule - 1;
        if (!recordPooling() || cls >= kClasses)
            return ::operator new(size);
        Lists& l = lists();
        if (Block* b = l.heads[cls]) {
            l.heads[cls] = b->next;
            --l.counts[cls];
            return b;
        }
        // A small block always has its class's full size, wherever it is
        // freed later: another thread's cache may hand it out again.
        return ::operator new((cls + 1) * kGranule);
    }
    static void release(void* p, std::size_t size) noexcept {
        // Freeing the chunks themselves is the arena's business.
        if (recordPooling() && RecordArena::active())
            return;
        const std::size_t cls = (size + kGranule - 1) / kGranule - 1;
        if (!recordPooling() || cls >= kClasses) {
            ::operator delete(p);
            return;
        }
        Lists& l = lists();
        if (l.gone || l.counts[cls] >= kMaxCached) {
            ::operator delete(p);
            return;
        }
        if (!l.armed) {
            [[maybe_unused]] static thread_local Reaper reaper;
            l.armed = true;
        }
        Block* b = static_cast<Block*>(p);
        b->next = l.heads[cls];
        l.heads[cls] = b;
        ++l.counts[cls];
    }
};

/// Allocator for the lists inside records: storage from the thread's active
/// RecordArena when there is one, from the heap otherwise, under the same
/// rule as Pooled records (a list freed while an arena is active was made in
/// it). A record's lists then cost no heap block of their own.
template <typename T>
class RecordAllocator {
public:
    using value_type = T;

    RecordAllocator() noexcept = default;
    template <typename U>
    RecordAllocator(const RecordAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        static_assert(alignof(T) <= RecordArena::kAlign, "record lists need no extra alignment");
        if (recordPooling())
            if (RecordArena* arena = RecordArena::active())
                return static_cast<T*>(arena->allocate(n * sizeof(T)));
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t) noexcept {
        if (recordPooling() && RecordArena::active())
            return;
        ::operator delete(p);
    }

    template <typename U>
    bool operator==(const RecordAllocator<U>&) const noexcept {
        return true;
    }
    template <typename U>
    bool operator!=(const RecordAllocator<U>&) const noexcept {
        return false;
    }
};

/// A list inside a record.
template <typename T>
using RecordVector = std::vector<T, RecordAllocator<T>>;

} // namespace classfile
