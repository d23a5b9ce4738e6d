#pragma once

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace zulx {
class ExtensionManager;
}

namespace loader {

/// One extension library, loaded from construction until destruction. It
/// calls the library's entry points on request and unloads the module when
/// it is destroyed, so whoever holds it keeps the library's code alive.
class ExtensionLibrary {
public:
    /// Loads the module at `path`. A module that cannot be loaded is logged
    /// (level 4) and leaves the object without a handle; nothing is thrown.
    explicit ExtensionLibrary(const boost::filesystem::path& path);
    /// Unloads the module; a failure is logged (level 4), never thrown.
    virtual ~ExtensionLibrary();
    ExtensionLibrary(const ExtensionLibrary&) = delete;
    ExtensionLibrary& operator=(const ExtensionLibrary&) = delete;

    /// (major, minor) as the library reports them. Both entry points are
    /// looked up before either is called; a missing one throws
    /// std::runtime_error.
    std::pair<int32_t, int32_t> getVersion() const;
    /// Calls registerExtensionFactories; throws std::runtime_error when it is
    /// missing, and lets whatever the library throws pass.
    void registerFactories(zulx::ExtensionManager* manager) const;
    /// Calls unregisterExtensionFactories, likewise.
    void unregisterFactories(zulx::ExtensionManager* manager) const;

    /// The file name, without directory.
    const std::string& getName() const { return name; }
    /// Null when loading failed.
    void* getHandle() const { return handle; }

private:
    std::string name;
    void* handle;
};

} // namespace loader
