// Loading one extension library: load, version check, registration, keeping.
#include "loader/ExtensionLibrary.h"
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "zul/Version.h"

#include <cstdint>
#include <stdexcept>

namespace loader {
namespace {

// A library may load others from its registration code; a library that loads
// itself would otherwise recurse until the stack runs out.
constexpr int kMaxLoadDepth = 8;

void logIncompatible(const boost::filesystem::path& path, const char* reason) noexcept {
    try {
        if (reason)
            util::Log<zul::LOG_DEBUG>("library '%s' is not a compatible extension (reason: '%s')") %
                path.string() % reason;
        else
            util::Log<zul::LOG_DEBUG>(
                "library '%s' is not a compatible extension (unknown reason)") %
                path.string();
    } catch (...) {
    }
}

} // namespace

void ExtensionManagerImpl::loadExtensionLibrary(const boost::filesystem::path& path) {
    // Declared outside the guard: an exception thrown by the library's code
    // may need that code (what(), its destructor) until its handler ends, and
    // the factories of a failed registration are destroyed in the handler.
    std::shared_ptr<ExtensionLibrary> library;
    Registration current;
    Registration* const outer = registration;
    try {
        currentLibraryName = path.filename().string();
        library = std::make_shared<ExtensionLibrary>(path);
        if (!library->getHandle()) {
            util::Log<zul::LOG_WARNING>("failed to load library %s") % currentLibraryName;
            return;
        }
        const std::pair<int32_t, int32_t> version = library->getVersion();
        const zul::Version& host = zul::getVersion();
        const uint32_t major = static_cast<uint32_t>(version.first);
        const uint32_t minor = static_cast<uint32_t>(version.second);
        if (major != host.major || minor != host.minor) {
            util::Log<zul::LOG_WARNING>(
                "extension library '%s' NOT loaded due to api version mismatch: zul has version "
                "%d.%d.x, extension library has version %d.%d.x") %
                library->getName() % host.major % host.minor % major % minor;
            return;
        }
        if (loadDepth >= kMaxLoadDepth)
            throw std::runtime_error("extension libraries load each other more than " +
                                     std::to_string(kMaxLoadDepth) + " levels deep");
        struct Scope {
            ExtensionManagerImpl& manager;
            Registration* outer;
            ~Scope() {
                manager.registration = outer;
                --manager.loadDepth;
            }
        } scope{*this, outer};
        registration = &current;
        ++loadDepth;
        library->registerFactories(this);
        libraries.emplace(path, library);
    } catch (const std::exception& e) {
        undoRegistration(current);
        logIncompatible(path, e.what());
    } catch (...) {
        undoRegistration(current);
        logIncompatible(path, nullptr);
    }
}

} // namespace loader
