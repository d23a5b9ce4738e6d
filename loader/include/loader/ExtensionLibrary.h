#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

namespace zulx {
class ExtensionManager;
}

namespace loader {

/// One loaded extension library (placeholder until extension management lands).
class ExtensionLibrary {
public:
    explicit ExtensionLibrary(const boost::filesystem::path& path);
    virtual ~ExtensionLibrary();
    /// Calls the library's unregister entry point; logs and swallows failures.
    void unregisterFactoriesNoThrow(zulx::ExtensionManager* manager) noexcept;

    std::string name;
    void* handle = nullptr;
};

} // namespace loader
