#include "loader/ExtensionManagerImpl.h"
#include "loader/ExtensionLibrary.h"

#include "util/Log.h"

namespace loader {
namespace {

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

ExtensionManagerImpl::ExtensionManagerImpl() : book(factories) {}

ExtensionManagerImpl::~ExtensionManagerImpl() {
    // Libraries are told to unregister while every factory is alive; factories
    // are destroyed before any library is unloaded, because their code lives there.
    for (auto& entry : libraries)
        unregisterQuietly(*entry.second, this);
    book.destroyAll();
    currentLibraryName.clear();
    libraries.clear();
}

} // namespace loader
