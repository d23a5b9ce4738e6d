#include "fuzz/ByteSource.h"

#include <cstring>

namespace fuzz {

uint32_t ByteSource::below(uint32_t bound) {
    if (bound == 0)
        return 0;
    uint32_t value = 0;
    for (uint32_t span = bound - 1; span != 0; span >>= 8)
        value = value << 8 | byte();
    return value % bound;
}

double ByteSource::rawDouble() {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | byte();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::wstring ByteSource::text(size_t maxLength) {
    static const wchar_t kSpecial[] = {L'&', L'"', L'\'', L'<', L'>', L'%', L'\\', L'$'};
    static const wchar_t kWide[] = {0xE9, 0x20AC, 0xFFFD, 0xFEFF};
    std::wstring out;
    const size_t length = below(static_cast<uint32_t>(maxLength + 1));
    for (size_t i = 0; i < length && !empty(); ++i) {
        const uint8_t b = byte();
        switch (b >> 5) {
        case 0:
            out += kSpecial[b % (sizeof kSpecial / sizeof kSpecial[0])];
            break;
        case 1:
            out += static_cast<wchar_t>(b & 0x1F); // control characters, NUL included
            break;
        case 2:
            out += kWide[b % (sizeof kWide / sizeof kWide[0])];
            break;
        case 3:
            // Non-BMP, a lone surrogate, or beyond Unicode.
            out += static_cast<wchar_t>((b & 1) ? 0x1F600 + (b & 0xF) : 0xD800 + (b & 0xF));
            if (b & 2)
                out.back() = static_cast<wchar_t>(0x110000 + (b & 0xF));
            break;
        default:
            out += static_cast<wchar_t>(0x20 + (b & 0x5F)); // printable ASCII
            break;
        }
    }
    return out;
}

} // namespace fuzz
