#include "loader/FactoryMap.h"

#include <algorithm>
#include <cstdint>

namespace loader {
namespace {

/// Reads a wide text as UTF-16 code units: where wchar_t holds UTF-32, a
/// character outside the Basic Multilingual Plane yields its two surrogates.
/// Values that are no character (above 0x10FFFF) stay one unit above 0xFFFF.
class Utf16Units {
public:
    Utf16Units(const std::wstring& text, size_t start) : mText(text), mPos(start) {}

    bool next(uint32_t& unit) {
        if (mPending != 0) {
            unit = mPending;
            mPending = 0;
            return true;
        }
        if (mPos == mText.size())
            return false;
        const uint32_t c = static_cast<uint32_t>(mText[mPos++]);
        if (sizeof(wchar_t) == 2 || c < 0x10000 || c > 0x10FFFF) {
            unit = c;
            return true;
        }
        const uint32_t v = c - 0x10000;
        unit = 0xD800 + (v >> 10);
        mPending = 0xDC00 + (v & 0x3FF);
        return true;
    }

private:
    const std::wstring& mText;
    size_t mPos;
    uint32_t mPending = 0;
};

} // namespace

bool IdLess::operator()(const std::wstring& a, const std::wstring& b) const {
    // Equal leading characters give equal code units; compare from the first difference.
    const size_t n = std::min(a.size(), b.size());
    size_t start = 0;
    while (start < n && a[start] == b[start])
        ++start;
    Utf16Units ua(a, start);
    Utf16Units ub(b, start);
    for (;;) {
        uint32_t x = 0;
        uint32_t y = 0;
        const bool moreA = ua.next(x);
        const bool moreB = ub.next(y);
        if (!moreA || !moreB) {
            if (moreA != moreB)
                return moreB; // a proper prefix sorts first
            break;
        }
        if (x != y)
            return x < y;
    }
    // Only texts with lone surrogates reach this: their units coincide with
    // those of a paired character. Keep them distinct ids all the same.
    return a < b;
}

} // namespace loader
