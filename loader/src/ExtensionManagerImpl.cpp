#include "loader/ExtensionManagerImpl.h"
#include "loader/ExtensionLibrary.h"

#include "util/Log.h"
#include "zulx/ExtensionFactory.h"

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

/// Calls a library's unregister entry point; a missing one or one that
/// throws is logged, so that teardown goes on with the next library.
void unregisterQuietly(const ExtensionLibrary& library, zulx::ExtensionManager* manager) noexcept {
    try {
        try {
            library.unregisterFactories(manager);
        } catch (const std::exception& e) {
            // The exception may live in the library's code, which is still loaded here.
            util::Log<zul::LOG_ERROR>("failed to unregister library '" + library.getName() + "'",
                                      e);
        } catch (...) {
            util::Log<zul::LOG_ERROR>("failed to unregister library '%s' (unknown reason)") %
                library.getName();
        }
    } catch (...) {
    }
}

} // namespace

bool ExtensionManagerImpl::IdLess::operator()(const std::wstring& a, const std::wstring& b) const {
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

ExtensionManagerImpl::ExtensionManagerImpl() = default;

ExtensionManagerImpl::~ExtensionManagerImpl() {
    // Libraries are told to unregister while every factory is alive; factories
    // are destroyed before any library is unloaded, because their code lives there.
    for (auto& entry : libraries)
        unregisterQuietly(*entry.second, this);
    for (auto& entry : factories)
        delete entry.second;
    for (zulx::ExtensionFactory* factory : displacedFactories)
        delete factory;
    factories.clear();
    displacedFactories.clear();
    currentLibraryName.clear();
    libraries.clear();
}

} // namespace loader
