#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ZUL_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUL_ARENA_ASAN 1
#endif
#endif
#if defined(ZUL_ARENA_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace classfile {

class ByteReader;

/// The memory all the records of one class file live in: handed out in order
/// from large chunks and freed in one go with the arena, so that reading a
/// class costs no general-allocator call per record. Records placed here must
/// be trivially destructible; they are never destroyed one by one. Under the
/// address sanitizer every byte not handed out (the rest of each chunk, and
/// all of it once the arena is gone) is poisoned, so a read past a record or
/// after the class is gone is reported as on the heap.
class RecordArena {
public:
    RecordArena() = default;
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    /// `size` bytes aligned for any record (pointers, integers, doubles).
    void* allocate(std::size_t size) {
        const std::size_t rounded = (size + kAlign - 1) & ~(kAlign - 1);
        if (rounded > static_cast<std::size_t>(mEnd - mCursor))
            startChunk(rounded);
        char* p = mCursor;
        mCursor += rounded;
#if defined(ZUL_ARENA_ASAN)
        ASAN_UNPOISON_MEMORY_REGION(p, size);
#endif
        return p;
    }

    /// A new `T` made from `args`; it lives as long as the arena.
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        static_assert(std::is_trivially_destructible_v<T>,
                      "the arena never runs destructors: its records hold no other memory");
        static_assert(alignof(T) <= kAlign, "records need no extra alignment");
        return new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    }

    /// Room for `n` values of `T`, not initialised.
    template <typename T>
    T* array(std::size_t n) {
        static_assert(std::is_trivially_destructible_v<T> && alignof(T) <= kAlign);
        if (n > kMaxBytes / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocate(n * sizeof(T)));
    }

    /// A copy of `text` that lives as long as the arena.
    std::string_view copy(std::string_view text) {
        if (text.empty())
            return {};
        char* p = array<char>(text.size());
        std::memcpy(p, text.data(), text.size());
        return {p, text.size()};
    }

    /// Sizes the chunks from `input` while the records of that input are
    /// made (null: from no input). When the input can tell how much is left,
    /// each new chunk is meant to hold the records of all that is left, at
    /// the rate of records per input byte seen so far, so that a class takes
    /// a chunk or two instead of many small ones; otherwise chunks double.
    void sizeFrom(const ByteReader* input) {
        mInput = input;
    }

    /// Bytes taken from the general allocator so far.
    std::size_t reserved() const {
        return mReserved;
    }

    static constexpr std::size_t kAlign =
        alignof(std::max_align_t) < 8 ? alignof(std::max_align_t) : std::size_t{8};

private:
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 40;
    struct Chunk {
        Chunk* next;
        std::size_t size; ///< usable bytes after the header
    };
    static constexpr std::size_t kHeader = (sizeof(Chunk) + kAlign - 1) & ~(kAlign - 1);

    // Makes a new chunk of at least `size` usable bytes the current one.
    void startChunk(std::size_t size);
    // The usable size of the next chunk, before the room one request needs.
    std::size_t nextChunkSize() const;
    // The first usable byte of the current chunk (null before the first).
    char* chunkStart() const {
        return mChunks ? reinterpret_cast<char*>(mChunks) + kHeader : nullptr;
    }

    Chunk* mChunks = nullptr;
    char* mCursor = nullptr;
    char* mEnd = nullptr;
    std::size_t mReserved = 0;
    std::size_t mUsedBefore = 0; ///< bytes handed out from the chunks before the current one
    const ByteReader* mInput = nullptr;
};

/// A list inside a record: values laid out in the class's arena. It does not
/// own them; it is valid as long as the class that read it.
template <typename T>
class RecordList {
public:
    using value_type = T;
    using iterator = const T*;
    using const_iterator = const T*;

    RecordList() = default;
    RecordList(const T* data, std::size_t size) : mData(data), mSize(size) {}

    std::size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    const T* data() const { return mData; }
    const T* begin() const { return mData; }
    const T* end() const { return mData + mSize; }
    const T& operator[](std::size_t i) const { return mData[i]; }
    /// The value at `i`; throws std::out_of_range past the end.
    const T& at(std::size_t i) const {
        if (i >= mSize)
            throw std::out_of_range("record list index " + std::to_string(i) + " past its end (" +
                                    std::to_string(mSize) + " values)");
        return mData[i];
    }
    const T& front() const { return mData[0]; }
    const T& back() const { return mData[mSize - 1]; }

    friend bool operator==(const RecordList& a, const RecordList& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const RecordList& a, const std::vector<T>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const std::vector<T>& a, const RecordList& b) { return b == a; }

private:
    const T* mData = nullptr;
    std::size_t mSize = 0;
};

/// Records of one kind laid out one after another in the class's arena,
/// handed out by address: iterating gives `const T*`, as a list of pointers
/// would, without the pointers. It does not own the records; it is valid as
/// long as the class that read it.
template <typename T>
class InPlaceList {
public:
    using value_type = const T*;

    /// Walks the records, giving each one's address.
    class iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = const T*;
        using difference_type = std::ptrdiff_t;
        using pointer = const T* const*;
        using reference = const T*;

        iterator() = default;
        explicit iterator(const T* at) : mAt(at) {}
        const T* operator*() const { return mAt; }
        const T* operator[](difference_type n) const { return mAt + n; }
        iterator& operator++() {
            ++mAt;
            return *this;
        }
        iterator operator++(int) { return iterator(mAt++); }
        iterator& operator--() {
            --mAt;
            return *this;
        }
        iterator& operator+=(difference_type n) {
            mAt += n;
            return *this;
        }
        friend iterator operator+(iterator i, difference_type n) { return iterator(i.mAt + n); }
        friend difference_type operator-(iterator a, iterator b) { return a.mAt - b.mAt; }
        friend bool operator==(iterator a, iterator b) { return a.mAt == b.mAt; }
        friend bool operator!=(iterator a, iterator b) { return a.mAt != b.mAt; }
        friend bool operator<(iterator a, iterator b) { return a.mAt < b.mAt; }

    private:
        const T* mAt = nullptr;
    };
    using const_iterator = iterator;

    InPlaceList() = default;
    InPlaceList(const T* data, std::size_t size) : mData(data), mSize(size) {}

    std::size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    iterator begin() const { return iterator(mData); }
    iterator end() const { return iterator(mData + mSize); }
    const T* operator[](std::size_t i) const { return mData + i; }
    /// The record at `i`; throws std::out_of_range past the end.
    const T* at(std::size_t i) const {
        if (i >= mSize)
            throw std::out_of_range("record list index " + std::to_string(i) + " past its end (" +
                                    std::to_string(mSize) + " values)");
        return mData + i;
    }
    const T* front() const { return mData; }
    const T* back() const { return mData + mSize - 1; }

private:
    const T* mData = nullptr;
    std::size_t mSize = 0;
};

/// Fills an InPlaceList: each record is made in the storage slot() hands out
/// before the next is asked for. Room for `expected` records is taken at
/// once; should more come, the records made so far move to a larger block of
/// the arena byte for byte (records refer to nothing inside themselves).
template <typename T>
class InPlaceListBuilder {
public:
    InPlaceListBuilder(RecordArena& arena, std::size_t expected) : mArena(arena) { grow(expected); }
    /// Storage for the next record, to be made there with placement new
    /// before slot() is called again.
    void* slot() {
        if (mSize == mCapacity)
            grow(mCapacity < 4 ? 4 : mCapacity * 2);
        return mData + mSize++;
    }
    InPlaceList<T> list() const { return {mData, mSize}; }

private:
    void grow(std::size_t capacity) {
        if (capacity == 0)
            return;
        T* bigger = mArena.array<T>(capacity);
        if (mSize != 0)
            std::memcpy(static_cast<void*>(bigger), static_cast<const void*>(mData),
                        mSize * sizeof(T));
        mData = bigger;
        mCapacity = capacity;
    }

    RecordArena& mArena;
    T* mData = nullptr;
    std::size_t mSize = 0;
    std::size_t mCapacity = 0;
};

/// Fills a RecordList one value at a time. Room for `expected` values is
/// taken at once; should more come, the values move to a larger block of the
/// arena (the old one stays unused until the arena goes).
template <typename T>
class RecordListBuilder {
public:
    RecordListBuilder(RecordArena& arena, std::size_t expected) : mArena(arena) { grow(expected); }
    void push_back(const T& value) {
        if (mSize == mCapacity)
            grow(mCapacity < 4 ? 4 : mCapacity * 2);
        mData[mSize++] = value;
    }
    /// The value added last.
    T& back() { return mData[mSize - 1]; }
    /// Adds a value-initialised value and returns it.
    T& emplace_back() {
        push_back(T{});
        return back();
    }
    RecordList<T> list() const { return {mData, mSize}; }

private:
    void grow(std::size_t capacity) {
        if (capacity == 0)
            return;
        T* bigger = mArena.array<T>(capacity);
        if (mSize != 0)
            std::memcpy(static_cast<void*>(bigger), mData, mSize * sizeof(T));
        mData = bigger;
        mCapacity = capacity;
    }

    RecordArena& mArena;
    T* mData = nullptr;
    std::size_t mSize = 0;
    std::size_t mCapacity = 0;
};

} // namespace classfile
