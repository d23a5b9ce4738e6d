#include "loader/ExtensionManagerImpl.h"
#include "loader/ExtensionLibrary.h"

#include "zulx/ExtensionFactory.h"

namespace loader {

bool ExtensionManagerImpl::IdLess::operator()(const std::wstring& a, const std::wstring& b) const {
    // Compare as UTF-16 code units: characters outside the Basic Multilingual
    // Plane become surrogates (0xD800..0xDFFF), which sort below 0xE000..0xFFFF.
    auto unit = [](wchar_t c, int k) -> uint32_t {
        const uint32_t cp = static_cast<uint32_t>(c);
        if (sizeof(wchar_t) == 2 || cp < 0x10000)
            return k == 0 ? cp : 0;
        const uint32_t v = cp - 0x10000;
        return k == 0 ? 0xD800 + (v >> 10) : 0xDC00 + (v & 0x3FF);
    };
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        for (int k = 0; k < 2; ++k) {
            const uint32_t ua = unit(a[i], k);
            const uint32_t ub = unit(b[i], k);
            if (ua != ub)
                return ua < ub;
        }
    }
    return a.size() < b.size();
}

ExtensionManagerImpl::ExtensionManagerImpl() = default;

ExtensionManagerImpl::~ExtensionManagerImpl() {
    // Libraries are told to unregister while every factory is alive; factories
    // are destroyed before any library is unloaded, because their code lives there.
    for (auto& entry : libraries)
        entry.second->unregisterFactoriesNoThrow(this);
    for (auto& entry : factories)
        delete entry.second;
    factories.clear();
    currentLibraryName.clear();
    libraries.clear();
}

} // namespace loader
