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
/// under the address sanitizer so that it still sees every use after free.
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
    struct Cache {
        Block* heads[kClasses] = {};
        uint32_t counts[kClasses] = {};
        ~Cache() {
            gone() = true;
            for (Block* head : heads)
                while (head) {
                    Block* next = head->next;
                    ::operator delete(head);
                    head = next;
                }
        }
    };

    // Set once the thread's cache is destroyed; later frees go to the heap.
    static bool& gone() {
        static thread_local bool flag = false;
        return flag;
    }
    static Cache& cache() {
        static thread_local Cache c;
        return c;
    }
    static constexpr bool pooling() {
#if defined(__SANITIZE_ADDRESS__)
        return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
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
        // A small block always has its class's full size, wherever it is
        // freed later: another thread's cache may hand it out again.
        if (gone())
            return ::operator new((cls + 1) * kGranule);
        Cache& c = cache();
        if (Block* b = c.heads[cls]) {
            c.heads[cls] = b->next;
            --c.counts[cls];
            return b;
        }
        return ::operator new((cls + 1) * kGranule);
    }
    static void release(void* p, std::size_t size) noexcept {
        const std::size_t cls = (size + kGranule - 1) / kGranule - 1;
        if (!pooling() || cls >= kClasses || gone()) {
            ::operator delete(p);
            return;
        }
        Cache& c = cache();
        if (c.counts[cls] >= kMaxCached) {
            ::operator delete(p);
            return;
        }
        Block* b = static_cast<Block*>(p);
        b->next = c.heads[cls];
        c.heads[cls] = b;
        ++c.counts[cls];
    }
};

} // namespace classfile
