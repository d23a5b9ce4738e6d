#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace classfile {

/// Base of the many small records a class file is read into (pool entries,
/// attributes, members, annotations). Their memory comes from a per-thread
/// cache of freed blocks: reading a class allocates hundreds of them and
/// frees them together, a pattern the general allocator serves slowly. The
/// cache keeps at most a bounded number of blocks per size and is bypassed
/// under the address and thread sanitizers.
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

    // Sanitizers must see every allocation of their own to check it.
    static constexpr bool pooling() {
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

    static void* allocate(std::size_t size) {
        const std::size_t cls = (size + kGranule - 1) / kGranule - 1;
        if (!pooling() || cls >= kClasses)
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
        const std::size_t cls = (size + kGranule - 1) / kGranule - 1;
        if (!pooling() || cls >= kClasses) {
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

} // namespace classfile
