#pragma once

// What the loader tests share: the test plugin tree, probes of what is
// loaded, and a fixture around a fresh extension manager.
#include "loader/ExtensionManagerImpl.h"

#include "Probe.h"
#include "testsupport/LogCapture.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace loader {

/// Reaches into the manager where no public operation can: a registry entry
/// without a factory.
struct ExtensionManagerImplPeer {
    static void putNullFactory(ExtensionManagerImpl& manager, const std::wstring& id) {
        manager.factories[id] = nullptr;
    }
};

} // namespace loader

namespace zt {

using Record = testsupport::LogCapture::Record;
using Texts = std::vector<std::string>;

/// A file or directory of the test plugin tree, e.g. tree("bad").
inline std::string tree(const std::string& relative) {
    return std::string(ZT_TREE) + "/" + relative;
}

/// The test extension library `name` (file lib<name>.so) in `dir` of the tree.
inline std::string library(const std::string& dir, const std::string& name) {
    return tree(dir + "/lib" + name + ".so");
}

/// True while the module at `path` is loaded in this process.
inline bool isLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

/// The text that the dynamic linker reports when it fails to load `path`,
/// or, given a symbol, to find that symbol in it.
inline std::string dlError(const std::string& path, const char* symbol = "") {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const std::string text = handle && dlsym(handle, symbol) ? "" : dlerror();
    if (handle)
        dlclose(handle);
    return text;
}

inline long countEvents(const std::string& event) {
    return std::count(probe::events().begin(), probe::events().end(), event);
}

/// The keys of the manager's library map.
inline Texts loadedPaths(const loader::ExtensionManagerImpl& manager) {
    Texts paths;
    for (const auto& entry : manager.getLibraries())
        paths.push_back(entry.first.string());
    return paths;
}

/// Calls addPluginPaths with UTF-8 paths.
inline void addPluginPaths(loader::ExtensionManagerImpl& manager, const Texts& paths) {
    std::vector<std::wstring> wide;
    for (const std::string& path : paths)
        wide.push_back(util::fromUTF8(path));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& path : wide)
        pointers.push_back(path.c_str());
    manager.addPluginPaths(pointers.data(), pointers.size());
}

/// Every record of the given level, in order.
inline Texts recordsAt(const testsupport::LogCapture& log, int level) {
    Texts texts;
    for (const auto& record : log.records())
        if (record.first == level)
            texts.push_back(record.second);
    return texts;
}

/// A fresh manager, an empty probe journal and a log capture that outlives
/// the manager, so that its teardown is captured too.
class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() { probe::events().clear(); }
    ~ManagerTest() override {
        manager.reset();
        probe::hook() = nullptr;
    }
    void load(const std::string& path) { manager->loadExtensionLibrary(path); }

    testsupport::LogCapture log;
    std::unique_ptr<loader::ExtensionManagerImpl> manager =
        std::make_unique<loader::ExtensionManagerImpl>();
};

} // namespace zt
