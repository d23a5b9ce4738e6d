#include "loader/ExtensionManagerImpl.h"

// The loader's only exported symbol: the host calls it once and owns what it
// returns. The argument is reserved by the host and not used.
extern "C" __attribute__((visibility("default"))) zulx::ExtensionManager* init(void*);
extern "C" __attribute__((visibility("default"))) zulx::ExtensionManager* init(void*) {
    return new loader::ExtensionManagerImpl();
}
