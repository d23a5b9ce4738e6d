#pragma once

#include "loader/ExtensionManagerImpl.h"

#include "Probe.h"
#include "testsupport/LogCapture.h"
#include "testsupport/TempDir.h"
#include "zul/Object.h"

#include <gtest/gtest.h>

#include <map>
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

/// A file or directory of the test plugin tree, e.g. tree("bad").
std::string tree(const std::string& relative);
/// The test extension library `name` (file lib<name>.so) in `dir` of the tree.
std::string library(const std::string& dir, const std::string& name);
/// True while the module at `path` is loaded in this process.
bool isLoaded(const std::string& path);
/// The text that dlopen reports for `path`, or for `symbol` in it.
std::string dlopenError(const std::string& path);
std::string dlsymError(const std::string& path, const char* symbol);

/// The probe journal since the last clear.
std::vector<std::string> events();
bool hasEvent(const std::string& event);
/// Index of the first event equal to `event`, or -1.
int eventIndex(const std::string& event);

std::wstring wide(const std::string& text);
/// The registry's ids, as UTF-8, in registry order.
std::vector<std::string> registeredIds(const loader::ExtensionManagerImpl& manager);
/// The keys of the manager's library map.
std::vector<std::string> loadedPaths(const loader::ExtensionManagerImpl& manager);

/// Calls addPluginPaths with UTF-8 paths.
void addPluginPaths(loader::ExtensionManagerImpl& manager, const std::vector<std::string>& paths);

/// The level-2 listing records that follow the last "Available Extensions:".
std::vector<std::string> listing(const testsupport::LogCapture& log);
/// Every record of the given level, in order.
std::vector<std::string> recordsAt(const testsupport::LogCapture& log, int level);

using TempDir = testsupport::TempDir;

/// A fresh manager, an empty probe journal and a log capture that outlives
/// the manager, so that its teardown is captured too.
class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() { probe::clear(); }
    ~ManagerTest() override {
        manager.reset();
        probe::setHook(nullptr);
    }
    void load(const std::string& path) { manager->loadExtensionLibrary(path); }

    testsupport::LogCapture log;
    std::unique_ptr<loader::ExtensionManagerImpl> manager =
        std::make_unique<loader::ExtensionManagerImpl>();
};

/// Encoder options with a fixed set of keys.
class Options : public zul::AttributeMap {
public:
    Options(std::initializer_list<std::pair<const std::wstring, std::wstring>> values)
        : mValues(values) {}
    const char* toXML(char* buffer, size_t* size, zul::Status* stat) const override;
    std::vector<std::wstring> getKeys() const override;
    std::wstring getString(const std::wstring& key) const override;

private:
    std::map<std::wstring, std::wstring> mValues;
};

} // namespace zt
