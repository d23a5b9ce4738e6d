// Scanning plugin paths for extension libraries, and the listing that ends every scan.
#include "loader/ExtensionManagerImpl.h"
#include "loader/FileNames.h"

#include "sgb/SGBDecoderFactory.h"
#include "util/Log.h"
#include "util/Text.h"
#include "zulx/ExtensionFactory.h"

#include <boost/filesystem/operations.hpp>

#include <cstdint>

namespace loader {
namespace {

namespace fs = boost::filesystem;

// An extension library is a regular file (links followed) whose extension is
// exactly the platform's shared-library suffix, letter case included.
bool hasLibrarySuffix(const fs::path& path) {
    return path.extension() == hostFileNames().sharedLibrarySuffix.narrow;
}

} // namespace

void ExtensionManagerImpl::addPluginPaths(const wchar_t* const* paths, size_t count) {
    book.enterOwn(new sgb::SGBDecoderFactory());

    if (!paths)
        count = 0;
    for (size_t i = 0; i < count; ++i) {
        const wchar_t* text = paths[i] ? paths[i] : L"";
        util::Log<zul::LOG_DEBUG>("zulPlugins item %1%: '%2%'") % i % text;
        const fs::path path(util::toNarrowACP(text));
        const fs::file_status status = fs::status(path);
        if (!fs::exists(status)) {
            util::Log<zul::LOG_WARNING>("Invalid plugin path: '%s'") % path.string();
            continue;
        }
        if (hasLibrarySuffix(path) && fs::is_regular_file(status)) {
            loadExtensionLibrary(path);
            continue;
        }
        if (!fs::is_directory(status))
            continue;
        // Lazily, depth first: each library is loaded as soon as it is reached.
        // The suffix goes first because it costs no system call.
        for (fs::recursive_directory_iterator it(path), end; it != end; ++it)
            if (hasLibrarySuffix(it->path()) && fs::is_regular_file(it->status()))
                loadExtensionLibrary(it->path());
    }
    writeListing();
}

void ExtensionManagerImpl::writeListing() const {
    util::Log<zul::LOG_INFO>("Available Extensions:");
    for (const auto& entry : factories) {
        const zulx::ExtensionFactory* factory = entry.second;
        if (!factory)
            continue;
        const float merit = factory->getMerit();
        const std::wstring& description = factory->getDescription();
        // Wide format, so that the id is padded by characters, not bytes.
        util::LogW<zul::LOG_INFO>(L"    %-45ls (%.1f) %ls") % factory->getID() % merit %
            description;
    }
}

} // namespace loader
