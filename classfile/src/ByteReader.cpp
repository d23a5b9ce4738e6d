#include "classfile/ByteReader.h"

#include "Limits.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {
constexpr size_t kSmallString = 64;
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
}

void ByteReader::failEnd(uint64_t needed) const {
    std::string text = "unexpected end of input at offset " + std::to_string(mOffset) + ": " +
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

void ByteReader::bytes(std::vector<uint8_t>& out, size_t n) {
    if (n > remaining())
        failEnd(n);
    fill(*this, out, n, mLimit != UINT64_MAX);
}

} // namespace classfile
