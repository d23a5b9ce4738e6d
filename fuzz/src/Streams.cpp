#include "fuzz/Streams.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

MemoryBuf::MemoryBuf(const uint8_t* data, size_t size) {
    // The get area is never written through: the buffer is read-only.
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
    setg(begin, begin, begin + size);
}

MemoryBuf::pos_type MemoryBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                       std::ios_base::openmode which) {
    if (!(which & std::ios_base::in))
        return pos_type(off_type(-1));
    off_type base = 0;
    if (dir == std::ios_base::cur)
        base = gptr() - eback();
    else if (dir == std::ios_base::end)
        base = egptr() - eback();
    const off_type target = base + off;
    if (target < 0 || target > egptr() - eback())
        return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

MemoryBuf::pos_type MemoryBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

PipeBuf::int_type PipeBuf::underflow() {
    if (mPos >= mSize)
        return traits_type::eof();
    const size_t n = std::min(kChunk, mSize - mPos);
    std::memcpy(mChunk, mData + mPos, n);
    mPos += n;
    setg(mChunk, mChunk, mChunk + n);
    return traits_type::to_int_type(mChunk[0]);
}

} // namespace fuzz
