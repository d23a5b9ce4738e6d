#include "Widen.h"

#include "ExpansionBudget.h"

#include "util/Text.h"

#include <cstdint>
#include <cstring>

namespace sgb {
namespace {

constexpr uint64_t kLowBits = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

// The length of `text` up to its first zero byte, or npos when a byte of 0x80
// or above comes first. Eight bytes at a time while none of them is either.
size_t asciiLength(std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        const uint64_t zeroByte = (word - kLowBits) & ~word & kHighBits;
        if ((word & kHighBits) | zeroByte)
            break;
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == 0)
            return i;
        if (c >= 0x80)
            return std::string_view::npos;
    }
    return n;
}

} // namespace

std::wstring widen(std::string_view text, ExpansionBudget* budget) {
    if (budget)
        budget->charge(text.size() * sizeof(wchar_t));
    const size_t length = asciiLength(text);
    if (length == std::string_view::npos)
        return util::toWideACP(std::string(text));
    // Built from the bytes directly: one block of the final size, no fill.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    return std::wstring(bytes, bytes + length);
}

void widenAppend(std::wstring& out, std::string_view text, ExpansionBudget* budget) {
    if (budget)
        budget->charge(text.size() * sizeof(wchar_t));
    const size_t length = asciiLength(text);
    if (length == std::string_view::npos) {
        out += util::toWideACP(std::string(text));
        return;
    }
    for (size_t i = 0; i < length; ++i)
        out += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
}

} // namespace sgb
