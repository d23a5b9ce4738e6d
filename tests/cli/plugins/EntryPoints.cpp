// Extension libraries that would bring a host down, for `zul probe` only: no
// in-process test may load them. Each is this file with one definition set:
// PP_CRASH_IN_REGISTER, PP_HANG_IN_REGISTER, PP_EXIT_IN_REGISTER or
// PP_CRASH_IN_UNREGISTER. Each registers one decoder first, so a probe that
// gets past registration has an id to report.
#include "zulx/ExtensionFactory.h"
#include "zulx/ExtensionLibraryAPI.h"
#include "zulx/ExtensionManager.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

class Factory : public zulx::DecoderFactory {
public:
    Factory()
        : zulx::DecoderFactory(zul::CT_GEOMETRY, PP_ID, L"probe fixture", L"probe fixture",
                               zulx::FileExtensions({L".probe"})) {}
    zulx::Extension* create() const override { return nullptr; }
};

#if defined(PP_CRASH_IN_REGISTER) || defined(PP_CRASH_IN_UNREGISTER)
[[noreturn]] void crash() {
    // A wild write, as a broken library makes it (not null: that would be a
    // sanitizer's report rather than a signal).
    volatile uintptr_t address = 16;
    *reinterpret_cast<volatile int*>(address) = 1;
    std::abort();
}
#endif

} // namespace

ZUL_EXTENSION_VERSION_ENTRY_POINTS()

extern "C" {

ZUL_EXTENSION_EXPORT void registerExtensionFactories(zulx::ExtensionManager* manager) {
    manager->addFactory(new Factory());
#if defined(PP_CRASH_IN_REGISTER)
    crash();
#elif defined(PP_HANG_IN_REGISTER)
    for (;;)
        ::pause();
#elif defined(PP_EXIT_IN_REGISTER)
    std::_Exit(3);
#endif
}

ZUL_EXTENSION_EXPORT void unregisterExtensionFactories(zulx::ExtensionManager*) {
#if defined(PP_CRASH_IN_UNREGISTER)
    crash();
#endif
}

} // extern "C"
