#include "TestSupport.h"

#include "Probe.h"

#include "util/Text.h"
#include "zulx/ExtensionFactory.h"

#include <boost/filesystem/operations.hpp>

#include <dlfcn.h>

#include <algorithm>
#include <stdexcept>

namespace zt {

std::string tree(const std::string& relative) {
    return std::string(ZT_TREE) + "/" + relative;
}

std::string library(const std::string& dir, const std::string& name) {
    return tree(dir + "/lib" + name + ".so");
}

bool isLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

std::string dlopenError(const std::string& path) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) {
        dlclose(handle);
        throw std::logic_error(path + " loads");
    }
    return dlerror();
}

std::string dlsymError(const std::string& path, const char* symbol) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::logic_error(path + " does not load");
    dlerror();
    void* address = dlsym(handle, symbol);
    const char* error = dlerror();
    const std::string text = error ? error : "";
    dlclose(handle);
    if (address)
        throw std::logic_error(path + " has " + symbol);
    return text;
}

std::vector<std::string> events() {
    return probe::events();
}

bool hasEvent(const std::string& event) {
    return eventIndex(event) >= 0;
}

int eventIndex(const std::string& event) {
    const std::vector<std::string> all = probe::events();
    const auto it = std::find(all.begin(), all.end(), event);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

std::wstring wide(const std::string& text) {
    return util::fromUTF8(text);
}

std::vector<std::string> registeredIds(const loader::ExtensionManagerImpl& manager) {
    std::vector<std::string> ids;
    for (const auto& entry : manager.getFactories())
        ids.push_back(util::toUTF8(entry.first));
    return ids;
}

std::vector<std::string> loadedPaths(const loader::ExtensionManagerImpl& manager) {
    std::vector<std::string> paths;
    for (const auto& entry : manager.getLibraries())
        paths.push_back(entry.first.string());
    return paths;
}

void addPluginPaths(loader::ExtensionManagerImpl& manager, const std::vector<std::string>& paths) {
    std::vector<std::wstring> wideValues;
    for (const std::string& path : paths)
        wideValues.push_back(wide(path));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& path : wideValues)
        pointers.push_back(path.c_str());
    manager.addPluginPaths(pointers.data(), pointers.size());
}

std::vector<std::string> listing(const testsupport::LogCapture& log) {
    const std::vector<std::string> info = recordsAt(log, 2);
    const auto heading = std::find(info.rbegin(), info.rend(), "Available Extensions:");
    if (heading == info.rend())
        return {};
    return std::vector<std::string>(heading.base(), info.end());
}

std::vector<std::string> recordsAt(const testsupport::LogCapture& log, int level) {
    std::vector<std::string> texts;
    for (const auto& record : log.records())
        if (record.first == level)
            texts.push_back(record.second);
    return texts;
}

const char* Options::toXML(char* buffer, size_t* size, zul::Status* stat) const {
    util::copyToBuffer("<options/>", buffer, size, stat);
    return buffer;
}

std::vector<std::wstring> Options::getKeys() const {
    std::vector<std::wstring> keys;
    for (const auto& entry : mValues)
        keys.push_back(entry.first);
    return keys;
}

std::wstring Options::getString(const std::wstring& key) const {
    const auto it = mValues.find(key);
    return it == mValues.end() ? std::wstring() : it->second;
}

} // namespace zt
