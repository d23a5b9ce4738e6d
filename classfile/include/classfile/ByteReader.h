#pragma once

#include "classfile/RecordArena.h"

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
/// the remaining input cannot justify. While the buffer holds bytes they are
/// read through a pointer of the reader's own; the stream's position catches
/// up whenever the reader goes to the stream itself, and when it is destroyed.
class ByteReader {
public:
    /// Reads from `in`'s buffer, starting at its current position.
    explicit ByteReader(std::istream& in);
    ~ByteReader() { commit(); }
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    uint8_t u1() {
        if (mCur != mEnd)
            return *mCur++;
        return static_cast<uint8_t>(slowByte(true));
    }
    /// One byte as the stream's get() gives it, low 8 bits kept: at the end
    /// of input that is 255 instead of an error.
    uint8_t u1OrEnd() {
        if (mCur != mEnd)
            return *mCur++;
        return static_cast<uint8_t>(slowByte(false));
    }
    uint16_t u2() {
        if (mEnd - mCur >= 2) {
            const uint16_t v = static_cast<uint16_t>(mCur[0] << 8 | mCur[1]);
            mCur += 2;
            return v;
        }
        const unsigned high = u1();
        return static_cast<uint16_t>(high << 8 | u1());
    }
    uint32_t u4() {
        if (mEnd - mCur >= 4) {
            const uint32_t v = uint32_t{mCur[0]} << 24 | uint32_t{mCur[1]} << 16 |
                               uint32_t{mCur[2]} << 8 | mCur[3];
            mCur += 4;
            return v;
        }
        const uint32_t b0 = u1();
        const uint32_t b1 = u1();
        const uint32_t b2 = u1();
        return b0 << 24 | b1 << 16 | b2 << 8 | u1();
    }
    /// Two 4-byte reads, the first giving the high word.
    uint64_t u8() {
        const uint64_t high = u4();
        return high << 32 | u4();
    }

    /// The next `n` bytes when the stream's buffer already holds them, else
    /// null; skip(n) then consumes them. Lets a reader of many small records
    /// take each from the buffer with one check.
    const uint8_t* peek(size_t n) const {
        return static_cast<size_t>(mEnd - mCur) >= n ? mCur : nullptr;
    }
    /// Consumes `n` bytes that peek(n) returned.
    void skip(size_t n) { mCur += n; }

    /// Exactly `n` bytes into `out`, or an "unexpected end of input" error.
    void block(void* out, size_t n);
    /// `n` bytes as a string / byte array. When the remaining input is
    /// unknown the storage grows in bounded steps as bytes arrive.
    void string(std::string& out, size_t n);
    void bytes(std::vector<uint8_t>& out, size_t n);
    /// `n` bytes copied into `arena` (null for none), under the same checks.
    const uint8_t* block(RecordArena& arena, size_t n);

    /// Bytes consumed since construction.
    uint64_t offset() const { return mOffset + static_cast<uint64_t>(mCur - mStart); }
    /// Bytes left, or UINT64_MAX less the bytes consumed when the stream
    /// cannot tell.
    uint64_t remaining() const { return mLimit - offset(); }
    /// True when the stream told where its input ends.
    bool endKnown() const { return mLimit != UINT64_MAX; }
    /// The capacity to reserve before reading `count` records of at least
    /// `minSize` bytes one by one: no more than can still follow, and no more
    /// than a small first step when the remaining input is unknown.
    size_t capacityFor(size_t count, size_t minSize) const {
        if (mLimit == UINT64_MAX)
            return count < kUnknownReserve ? count : static_cast<size_t>(kUnknownReserve);
        // Counts are 16-bit and sizes small: the product cannot overflow, and
        // spares the division in the usual case of a count that fits.
        const uint64_t left = remaining();
        const uint64_t size = minSize == 0 ? 1 : minSize;
        if (uint64_t{count} * size <= left)
            return count;
        return left / size;
    }

    /// Throws std::runtime_error "unexpected end of input at offset N ...".
    [[noreturn]] void failEnd(uint64_t needed) const;
    /// failEnd after a block read that delivered only `got` of `n` bytes.
    [[noreturn]] void failShort(size_t n, std::streamsize got);

private:
    // Moves the stream buffer's position up to what the reader consumed.
    void commit() noexcept;
    // Takes the stream buffer's buffered bytes as the reader's own.
    void take();
    // One byte from the stream itself, once the buffered ones are used up:
    // the end of input fails when `required`, and gives eof otherwise.
    int slowByte(bool required);

    static constexpr uint64_t kUnknownReserve = 1024;
    std::streambuf* mBuf;
    const unsigned char* mStart = nullptr; ///< the first byte not yet committed
    const unsigned char* mCur = nullptr;   ///< the next byte
    const unsigned char* mEnd = nullptr;   ///< the end of the buffered bytes
    uint64_t mOffset = 0;                  ///< bytes committed since construction
    uint64_t mLimit = UINT64_MAX;
};

} // namespace classfile
