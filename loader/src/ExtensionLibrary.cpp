#include "loader/ExtensionLibrary.h"
#include "loader/SharedLibrary.h"

#include "util/Log.h"
#include "zulx/ExtensionLibraryAPI.h"

#include <stdexcept>

namespace loader {
namespace {

template <typename Function>
Function lookUp(void* handle, const char* name) {
    return reinterpret_cast<Function>(getSharedLibraryFunction(handle, name));
}

} // namespace

ExtensionLibrary::ExtensionLibrary(const boost::filesystem::path& path)
    : name(path.filename().string()), handle(nullptr) {
    try {
        handle = loadSharedLibrary(path);
    } catch (const std::runtime_error& e) {
        util::Log<zul::LOG_ERROR>("failed to load library: ", e);
    }
}

ExtensionLibrary::~ExtensionLibrary() {
    try {
        unloadSharedLibrary(handle);
    } catch (const std::runtime_error& e) {
        util::Log<zul::LOG_ERROR>("failed to unload library", e);
    }
}

std::pair<int32_t, int32_t> ExtensionLibrary::getVersion() const {
    const auto major = lookUp<zulx::GetVersionFunction>(handle, "getVersionMajor");
    const auto minor = lookUp<zulx::GetVersionFunction>(handle, "getVersionMinor");
    const int32_t majorVersion = major();
    return {majorVersion, minor()};
}

void ExtensionLibrary::registerFactories(zulx::ExtensionManager* manager) const {
    lookUp<zulx::RegisterFactoriesFunction>(handle, "registerExtensionFactories")(manager);
}

void ExtensionLibrary::unregisterFactories(zulx::ExtensionManager* manager) const {
    lookUp<zulx::RegisterFactoriesFunction>(handle, "unregisterExtensionFactories")(manager);
}

} // namespace loader
