// The entry points through which the extension manager loads this library.
#include "plugins/FileSystemAdaptor.h"

#include "zulx/ExtensionLibraryAPI.h"
#include "zulx/ExtensionManager.h"

ZUL_EXTENSION_VERSION_ENTRY_POINTS()

extern "C" {

ZUL_EXTENSION_EXPORT void registerExtensionFactories(zulx::ExtensionManager* manager) {
    // The manager owns the factory from here on.
    manager->addFactory(new plugins::FileSystemAdaptorFactory());
}

ZUL_EXTENSION_EXPORT void unregisterExtensionFactories(zulx::ExtensionManager*) {
    // Nothing to release: the manager destroys the factory after this call.
}

} // extern "C"
