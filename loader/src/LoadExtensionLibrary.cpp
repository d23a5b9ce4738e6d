// Loading one extension library: load, version check, registration, keeping.
#include "loader/ExtensionLibrary.h"
#include "loader/ExtensionManagerImpl.h"

#include "util/Log.h"
#include "zul/Version.h"

#include <cstdint>
#include <stdexcept>

namespace loader {
namespace {

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
    // the handler takes a failed registration back from the journal,
    // destroying its factories while the library is still loaded.
    std::shared_ptr<ExtensionLibrary> library;
    RegistrationBook::Journal journal;
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
        const RegistrationBook::Recording recording(book, journal);
        library->registerFactories(this);
        libraries.emplace(path, library);
    } catch (const std::exception& e) {
        book.takeBack(journal);
        logIncompatible(path, e.what());
    } catch (...) {
        book.takeBack(journal);
        logIncompatible(path, nullptr);
    }
}

} // namespace loader
