#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>

namespace fuzz {

/// A read-only, seekable stream buffer over memory that it does not own:
/// the reader learns how much input is left, as from a file.
class MemoryBuf : public std::streambuf {
public:
    MemoryBuf(const uint8_t* data, size_t size);

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
};

/// A stream buffer that cannot seek and hands its bytes out a few at a time,
/// like a pipe: the reader cannot learn how much input is left.
class PipeBuf : public std::streambuf {
public:
    PipeBuf(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

protected:
    int_type underflow() override;

private:
    static constexpr size_t kChunk = 7;
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
    char mChunk[kChunk] = {};
};

} // namespace fuzz
