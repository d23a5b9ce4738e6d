#include "classfile/ByteReader.h"

#include "Limits.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

constexpr size_t kSmallString = 64;

// The stream buffer's get area. Its accessors are protected; naming them
// through a class derived from the buffer lets the reader take all buffered
// bytes at once, where sbumpc checks and moves one at a time.
struct GetArea : std::streambuf {
    static const char* next(std::streambuf* b) { return (b->*&GetArea::gptr)(); }
    static const char* end(std::streambuf* b) { return (b->*&GetArea::egptr)(); }
    static void skip(std::streambuf* b, int n) { (b->*&GetArea::gbump)(n); }
};

} // namespace

ByteReader::ByteReader(std::istream& in) : mBuf(in.rdbuf()) {
    if (mBuf == nullptr)
        throw std::runtime_error("class file stream has no buffer to read from");
    // A seekable stream tells how much input is left; counts read off the file
    // are then checked against it before anything is sized from them.
    const auto here = mBuf->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (here == std::streampos(-1))
        return;
    const auto end = mBuf->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    if (mBuf->pubseekpos(here, std::ios_base::in) != here)
        throw std::runtime_error("class file stream cannot return to its start position");
    if (end != std::streampos(-1) && end >= here)
        mLimit = static_cast<uint64_t>(end - here);
    take();
}

void ByteReader::commit() noexcept {
    auto consumed = static_cast<size_t>(mCur - mStart);
    mOffset += consumed;
    while (consumed > 0) {
        const int step =
            consumed > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(consumed);
        GetArea::skip(mBuf, step);
        consumed -= static_cast<size_t>(step);
    }
    mStart = mCur;
}

void ByteReader::take() {
    mStart = mCur = reinterpret_cast<const unsigned char*>(GetArea::next(mBuf));
    mEnd = reinterpret_cast<const unsigned char*>(GetArea::end(mBuf));
    if (mStart == nullptr)
        mEnd = mStart;
}

int ByteReader::slowByte(bool required) {
    commit();
    const int c = mBuf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
        take();
        if (required)
            failEnd(1);
        return c;
    }
    ++mOffset;
    take();
    return static_cast<unsigned char>(c);
}

void ByteReader::block(void* out, size_t n) {
    if (n > remaining())
        failEnd(n);
    if (static_cast<size_t>(mEnd - mCur) >= n) {
        if (n != 0)
            std::memcpy(out, mCur, n);
        mCur += n;
        return;
    }
    commit();
    const std::streamsize got =
        mBuf->sgetn(static_cast<char*>(out), static_cast<std::streamsize>(n));
    if (got < 0 || static_cast<size_t>(got) != n) {
        take();
        failShort(n, got);
    }
    mOffset += n;
    take();
}

void ByteReader::failEnd(uint64_t needed) const {
    std::string text = "unexpected end of input at offset " + std::to_string(offset()) + ": " +
                       std::to_string(needed) + " more byte" + (needed == 1 ? "" : "s") + " needed";
    if (mLimit != UINT64_MAX)
        text += ", " + std::to_string(remaining()) + " left";
    throw std::runtime_error(text);
}

void ByteReader::failShort(size_t n, std::streamsize got) {
    const size_t delivered = got > 0 ? static_cast<size_t>(got) : 0;
    mOffset += delivered;
    failEnd(n - delivered);
}

namespace {

// Reads `n` bytes into a string or byte vector. With the remaining input
// known, `n` has been checked against it and the storage is sized once;
// otherwise it grows a chunk at a time as the bytes actually arrive.
template <typename Buffer>
void fill(ByteReader& in, Buffer& out, size_t n, bool sizeKnown) {
    if (sizeKnown || n <= kReadChunk) {
        out.resize(n);
        in.block(out.data(), n);
        return;
    }
    out.clear();
    while (out.size() < n) {
        const size_t done = out.size();
        const size_t step = std::min(kReadChunk, n - done);
        out.resize(done + step);
        in.block(out.data() + done, step);
    }
}

} // namespace

void ByteReader::string(std::string& out, size_t n) {
    if (n > remaining())
        failEnd(n);
    // Most pool strings are short: a copy from the stack spares the string
    // the zero-filling of resize.
    if (n <= kSmallString) {
        char small[kSmallString];
        block(small, n);
        out.assign(small, n);
        return;
    }
    fill(*this, out, n, mLimit != UINT64_MAX);
}

const uint8_t* ByteReader::block(RecordArena& arena, size_t n) {
    if (n > remaining())
        failEnd(n);
    if (n == 0)
        return nullptr;
    if (mLimit != UINT64_MAX || n <= kReadChunk) {
        uint8_t* out = arena.array<uint8_t>(n);
        block(out, n);
        return out;
    }
    // The claimed length is not known to be there: the bytes arrive in
    // bounded steps before the arena is asked for all of them.
    std::vector<uint8_t> arrived;
    fill(*this, arrived, n, false);
    uint8_t* out = arena.array<uint8_t>(n);
    std::memcpy(out, arrived.data(), n);
    return out;
}

void ByteReader::bytes(std::vector<uint8_t>& out, size_t n) {
    if (n > remaining())
        failEnd(n);
    fill(*this, out, n, mLimit != UINT64_MAX);
}

} // namespace classfile
