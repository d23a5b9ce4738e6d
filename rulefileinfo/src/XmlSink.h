#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace rulefileinfo {

/// Append-only text for the XML writer. The whole document is built in one
/// std::string; writing through a cursor instead of std::string::append keeps
/// the per-piece cost to a capacity check and a copy, which matters for the
/// hundreds of thousands of small pieces of a large record.
class XmlSink {
public:
    /// `expected` is the length the caller measured beforehand: allocating it
    /// at once avoids a chain of ever larger blocks, which the allocator hands
    /// back to the system and must fault in again on every rendering.
    XmlSink(std::string& out, size_t expected) : mOut(out), mUsed(out.size()) {
        mOut.resize(mUsed + expected);
    }
    XmlSink(const XmlSink&) = delete;
    XmlSink& operator=(const XmlSink&) = delete;
    /// Cuts the string back to the text written.
    ~XmlSink() { mOut.resize(mUsed); }

    /// Room for at least n more bytes; returns where they go.
    char* reserve(size_t n) {
        if (mOut.size() - mUsed < n)
            grow(n);
        return &mOut[mUsed];
    }
    /// Marks n bytes written at the cursor as used.
    void commit(size_t n) { mUsed += n; }

    void put(char c) {
        *reserve(1) = c;
        ++mUsed;
    }
    void write(const char* text, size_t n) {
        std::memcpy(reserve(n), text, n);
        mUsed += n;
    }
    void write(const char* text) { write(text, std::strlen(text)); }
    template <size_t N>
    void literal(const char (&text)[N]) {
        write(text, N - 1);
    }

private:
    // Only reached when the measured length was too small.
    void grow(size_t n) {
        size_t size = mOut.size() < 4096 ? 4096 : mOut.size() * 2;
        while (size - mUsed < n)
            size *= 2;
        mOut.resize(size);
    }

    std::string& mOut;
    size_t mUsed;
};

/// Stands in for XmlSink in a first pass that only adds up how long the text
/// will be (exactly for ASCII text, an upper bound otherwise).
class XmlSize {
public:
    size_t bytes = 0;

    void add(size_t n) { bytes += n; }
    void put(char) { ++bytes; }
    void write(const char*, size_t n) { bytes += n; }
    void write(const char* text) { bytes += std::strlen(text); }
    template <size_t N>
    void literal(const char (&)[N]) {
        bytes += N - 1;
    }
};

} // namespace rulefileinfo
