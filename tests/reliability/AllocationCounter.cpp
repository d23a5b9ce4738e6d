#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace reliability {
namespace {

std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};

// Every block carries its size in a header of the largest fundamental
// alignment, so that delete can subtract it and the block stays aligned.
constexpr size_t kHeader = alignof(std::max_align_t);

/// Null when there is no memory, or bad_alloc unless `nothrow`.
void* allocate(size_t size, bool nothrow = false) {
    char* block =
        size > SIZE_MAX - kHeader ? nullptr : static_cast<char*>(std::malloc(size + kHeader));
    if (!block && nothrow)
        return nullptr;
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    const size_t live = gLive.fetch_add(size, std::memory_order_relaxed) + size;
    size_t peak = gPeak.load(std::memory_order_relaxed);
    while (live > peak && !gPeak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    return block + kHeader;
}

void release(void* pointer) noexcept {
    if (!pointer)
        return;
    char* block = static_cast<char*>(pointer) - kHeader;
    gLive.fetch_sub(*reinterpret_cast<size_t*>(block), std::memory_order_relaxed);
    std::free(block);
}

} // namespace

PeakScope::PeakScope() : mBase(gLive.load(std::memory_order_relaxed)) {
    gPeak.store(mBase, std::memory_order_relaxed);
}

size_t PeakScope::peak() const {
    const size_t peak = gPeak.load(std::memory_order_relaxed);
    return peak > mBase ? peak - mBase : 0;
}

} // namespace reliability

// Over-aligned allocations are not counted: nothing under test makes them.
void* operator new(size_t size) {
    return reliability::allocate(size);
}
void* operator new[](size_t size) {
    return reliability::allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return reliability::allocate(size, true);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return reliability::allocate(size, true);
}
void operator delete(void* pointer) noexcept {
    reliability::release(pointer);
}
void operator delete[](void* pointer) noexcept {
    reliability::release(pointer);
}
void operator delete(void* pointer, size_t) noexcept {
    reliability::release(pointer);
}
void operator delete[](void* pointer, size_t) noexcept {
    reliability::release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    reliability::release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    reliability::release(pointer);
}
