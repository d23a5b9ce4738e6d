#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace classfile {

/// The one big-endian reader every class-file record reads through. It takes
/// bytes straight from the stream's buffer, checks each block against the end
/// of input before it is used, and knows how many bytes are left when the
/// stream can tell, so that no count read off the file sizes an allocation
/// the remaining input cannot justify.
class ByteReader {
public:
    /// Reads from `in`'s buffer, starting at its current position.
    explicit ByteReader(std::istream& in);

    uint8_t u1() { return static_cast<uint8_t>(next()); }
    /// One byte as the stream's get() gives it, low 8 bits kept: at the end
    /// of input that is 255 instead of an error.
    uint8_t u1OrEnd() {
        const int c = mBuf->sbumpc();
        if (c != std::char_traits<char>::eof())
            ++mOffset;
        return static_cast<uint8_t>(c);
    }
    uint16_t u2() {
        if (const unsigned char* p = inPlace(2))
            return static_cast<uint16_t>(p[0] << 8 | p[1]);
        const unsigned high = next();
        return static_cast<uint16_t>(high << 8 | next());
    }
    uint32_t u4() {
        if (const unsigned char* p = inPlace(4))
            return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
        const uint32_t b0 = next();
        const uint32_t b1 = next();
        const uint32_t b2 = next();
        return b0 << 24 | b1 << 16 | b2 << 8 | next();
    }
    /// Two 4-byte reads, the first giving the high word.
    uint64_t u8() {
        const uint64_t high = u4();
        return high << 32 | u4();
    }

    /// Exactly `n` bytes into `out`, or an "unexpected end of input" error.
    void block(void* out, size_t n) {
        if (n > remaining())
            failEnd(n);
        const std::streamsize got =
            mBuf->sgetn(static_cast<char*>(out), static_cast<std::streamsize>(n));
        if (got < 0 || static_cast<size_t>(got) != n)
            failShort(n, got);
        mOffset += n;
    }
    /// `n` bytes as a string / byte array. When the remaining input is
    /// unknown the storage grows in bounded steps as bytes arrive.
    void string(std::string& out, size_t n);
    void bytes(std::vector<uint8_t>& out, size_t n);

    /// Bytes consumed since construction.
    uint64_t offset() const { return mOffset; }
    /// Bytes left, or UINT64_MAX when the stream cannot tell.
    uint64_t remaining() const { return mLimit - mOffset; }
    /// The capacity to reserve before reading `count` records of at least
    /// `minSize` bytes one by one: no more than can still follow, and no more
    /// than a small first step when the remaining input is unknown.
    size_t capacityFor(size_t count, size_t minSize) const {
        const uint64_t fit =
            mLimit == UINT64_MAX ? kUnknownReserve : remaining() / (minSize == 0 ? 1 : minSize);
        return count < fit ? count : static_cast<size_t>(fit);
    }

    /// Throws std::runtime_error "unexpected end of input at offset N ...".
    [[noreturn]] void failEnd(uint64_t needed) const;
    /// failEnd after a block read that delivered only `got` of `n` bytes.
    [[noreturn]] void failShort(size_t n, std::streamsize got);

private:
    // The stream buffer's get area. Its accessors are protected; naming them
    // through a class derived from the buffer lets the reader take several
    // buffered bytes at once, where sbumpc checks and moves one at a time.
    struct GetArea : std::streambuf {
        static const char* next(std::streambuf* b) { return (b->*&GetArea::gptr)(); }
        static const char* end(std::streambuf* b) { return (b->*&GetArea::egptr)(); }
        static void skip(std::streambuf* b, int n) { (b->*&GetArea::gbump)(n); }
    };

    // The next `n` bytes (n small) when the get area holds them all, consumed;
    // null otherwise, and then nothing is consumed.
    const unsigned char* inPlace(int n) {
        const char* p = GetArea::next(mBuf);
        if (GetArea::end(mBuf) - p < n)
            return nullptr;
        GetArea::skip(mBuf, n);
        mOffset += static_cast<unsigned>(n);
        return reinterpret_cast<const unsigned char*>(p);
    }

    // One byte from the stream buffer: inline while its get area has data.
    unsigned next() {
        const int c = mBuf->sbumpc();
        if (c == std::char_traits<char>::eof())
            failEnd(1);
        ++mOffset;
        return static_cast<unsigned char>(c);
    }

    static constexpr uint64_t kUnknownReserve = 1024;
    std::streambuf* mBuf;
    uint64_t mOffset = 0;
    uint64_t mLimit = UINT64_MAX;
};

} // namespace classfile
