#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace classfile {

/// A growing text with appends that inline to a copy: the dumps build their
/// text from many short pieces.
class TextBuffer {
public:
    void append(const char* text, size_t n) {
        // An empty buffer has no storage yet: memcpy must not see its null.
        if (n == 0)
            return;
        if (n > mCapacity - mSize)
            grow(n);
        std::memcpy(mData.get() + mSize, text, n);
        mSize += n;
    }
    void append(std::string_view text) { append(text.data(), text.size()); }
    void append(size_t count, char c) {
        if (count == 0)
            return;
        if (count > mCapacity - mSize)
            grow(count);
        std::memset(mData.get() + mSize, c, count);
        mSize += count;
    }
    void push(char c) {
        if (mSize == mCapacity)
            grow(1);
        mData[mSize++] = c;
    }
    /// A decimal number.
    template <typename T>
    void number(T value) {
        if (mCapacity - mSize < kMaxDigits)
            grow(kMaxDigits);
        const auto result = std::to_chars(mData.get() + mSize, mData.get() + mCapacity, value);
        mSize = static_cast<size_t>(result.ptr - mData.get());
    }

    /// Makes room for `n` more characters.
    void reserve(size_t n) {
        if (n > mCapacity - mSize)
            grow(n);
    }
    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    std::string_view view() const { return std::string_view(mData.get(), mSize); }
    void clear() { mSize = 0; }
    /// The text as a string.
    std::string str() const { return std::string(mData.get(), mSize); }

private:
    static constexpr size_t kMaxDigits = 24;

    void grow(size_t n) {
        const size_t wanted = mSize + n;
        const size_t capacity = std::max(wanted, 2 * mCapacity) + 256;
        std::unique_ptr<char[]> data(new char[capacity]);
        if (mSize != 0)
            std::memcpy(data.get(), mData.get(), mSize);
        mData = std::move(data);
        mCapacity = capacity;
    }

    std::unique_ptr<char[]> mData;
    size_t mCapacity = 0;
    size_t mSize = 0;
};

/// Collects a dump and hands it to its stream in large pieces. Numbers come
/// out as the stream would write them: when the stream has its default number
/// formatting they are converted here, otherwise every piece goes straight
/// through the stream with its formatting.
///
/// Whatever was collected is written when the writer is flushed or
/// destroyed, also while an exception leaves the dump, so a dump that fails
/// halfway shows its first half.
class TextWriter {
public:
    explicit TextWriter(std::ostream& out);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    TextWriter& operator<<(std::string_view text) {
        if (mDirect)
            mOut << text;
        else
            mText.append(text);
        return *this;
    }
    TextWriter& operator<<(const char* text) { return *this << std::string_view(text); }
    TextWriter& operator<<(const std::string& text) { return *this << std::string_view(text); }
    TextWriter& operator<<(char c) {
        if (mDirect)
            mOut << c;
        else
            mText.push(c);
        return *this;
    }
    /// Integers as numbers (the character types are not numbers here).
    template <typename T,
              std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                   !std::is_same_v<T, char> && !std::is_same_v<T, signed char> &&
                                   !std::is_same_v<T, unsigned char>,
                               int> = 0>
    TextWriter& operator<<(T value) {
        if (mDirect)
            mOut << value;
        else
            mText.number(value);
        return *this;
    }
    /// Floating-point numbers always take the stream's formatting.
    TextWriter& operator<<(double value);
    TextWriter& operator<<(float value) { return *this << static_cast<double>(value); }

    /// The collected text, for appending to it directly; null when pieces go
    /// straight through the stream.
    TextBuffer* buffer() { return mDirect ? nullptr : &mText; }

    /// Writes what was collected to the stream.
    void flush();
    /// Writes what was collected once it is large, to bound the memory held.
    void flushIfLarge() {
        if (mText.size() >= kFlushSize)
            flush();
    }

private:
    static constexpr size_t kFlushSize = 1 << 20;
    std::ostream& mOut;
    TextBuffer mText;
    bool mDirect;
};

} // namespace classfile
