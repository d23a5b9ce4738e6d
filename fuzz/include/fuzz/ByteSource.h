#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

/// Draws structured values from fuzz input, front to back. Once the input is
/// used up every draw yields zero, so any input builds a finite structure.
class ByteSource {
public:
    ByteSource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    bool empty() const { return mPos >= mSize; }
    uint8_t byte() { return mPos < mSize ? mData[mPos++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    /// A value in [0, bound); 0 when bound is 0.
    uint32_t below(uint32_t bound);
    /// Eight bytes as the bits of a double: NaNs, infinities and subnormals
    /// included.
    double rawDouble();
    /// Up to `maxLength` characters drawn from ASCII, the XML special
    /// characters, control characters, non-ASCII and non-BMP code points and
    /// values that are no code points at all (surrogates, above 0x10FFFF).
    std::wstring text(size_t maxLength);

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

} // namespace fuzz
