#pragma once

#include "zul/Version.h"

#include <cstdint>

// What an extension library exports so that the extension manager accepts it:
// four functions under their plain, undecorated names. The manager compares
// the reported version with zul::getVersion() (major and minor must both be
// equal), then calls registerExtensionFactories, in which the library hands
// each factory to ExtensionManager::addFactory. unregisterExtensionFactories
// runs once when the manager is destroyed, before any factory is destroyed.
// The declarations at the end of this header let the compiler check a
// library's definitions against these signatures.

/// Marks an entry point of an extension library as exported.
#define ZUL_EXTENSION_EXPORT __attribute__((visibility("default")))

/// Defines getVersionMajor and getVersionMinor, reporting the API version
/// that the library is compiled against. Use once, at namespace scope.
#define ZUL_EXTENSION_VERSION_ENTRY_POINTS()                                                       \
    extern "C" ZUL_EXTENSION_EXPORT int32_t getVersionMajor() {                                    \
        return static_cast<int32_t>(zul::API_VERSION_MAJOR);                                       \
    }                                                                                              \
    extern "C" ZUL_EXTENSION_EXPORT int32_t getVersionMinor() {                                    \
        return static_cast<int32_t>(zul::API_VERSION_MINOR);                                       \
    }

namespace zulx {

class ExtensionManager;

/// Signatures of the entry points.
using GetVersionFunction = int32_t (*)();
using RegisterFactoriesFunction = void (*)(ExtensionManager*);

} // namespace zulx

extern "C" {
ZUL_EXTENSION_EXPORT int32_t getVersionMajor();
ZUL_EXTENSION_EXPORT int32_t getVersionMinor();
ZUL_EXTENSION_EXPORT void registerExtensionFactories(zulx::ExtensionManager* manager);
ZUL_EXTENSION_EXPORT void unregisterExtensionFactories(zulx::ExtensionManager* manager);
}
