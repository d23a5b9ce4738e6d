#include "Context.h"

#include "zul/Version.h"
#include "zulx/Log.h"
#include "zulx/Utf.h"

#include <boost/filesystem/operations.hpp>

#include <dlfcn.h>

#include <iostream>
#include <stdexcept>

namespace zultool {

Context::Context() = default;

// The loader stays loaded until the process ends: extensions and managers
// handed out earlier may still refer to its code.
Context::~Context() = default;

std::string Context::executableDir() const {
    boost::system::error_code ec;
    const boost::filesystem::path exe = boost::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// Both relative paths are configured from the install layout, which the
// build tree shares.
std::string Context::defaultLoaderPath() const {
    return (boost::filesystem::path(executableDir()) / ZUL_LOADER_FROM_BIN)
        .lexically_normal()
        .string();
}

std::string Context::defaultPluginDir() const {
    return (boost::filesystem::path(executableDir()) / ZUL_PLUGINS_FROM_BIN)
        .lexically_normal()
        .string();
}

std::unique_ptr<zulx::ExtensionManager> Context::createManager() {
    if (!mInit) {
        const std::string path = effectiveLoaderPath();
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* err = dlerror();
            throw std::runtime_error("cannot load the loader library '" + path +
                                     "': " + (err ? err : "unknown error"));
        }
        void* symbol = dlsym(handle, "init");
        if (!symbol) {
            dlclose(handle);
            throw std::runtime_error("the loader library '" + path + "' has no entry point 'init'");
        }
        mLoaderHandle = handle;
        mInit = reinterpret_cast<zulx::LoaderInitFunction>(symbol);
    }
    return std::unique_ptr<zulx::ExtensionManager>(mInit(nullptr));
}

std::unique_ptr<zulx::ExtensionManager>
Context::createManager(const std::vector<std::string>& plugins, bool withDefaultPlugins) {
    std::vector<std::wstring> paths;
    if (withDefaultPlugins)
        paths.push_back(zulx::utf8ToWide(defaultPluginDir()));
    for (const std::string& path : plugins)
        paths.push_back(zulx::utf8ToWide(path));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& path : paths)
        pointers.push_back(path.c_str());
    auto manager = createManager();
    manager->addPluginPaths(pointers.data(), pointers.size());
    return manager;
}

std::string Context::effectiveLoaderPath() const {
    return loaderPath.empty() ? defaultLoaderPath() : loaderPath;
}

std::string Context::resolvedLoaderPath() const {
    // Absolute and without "..", but still the name that is loaded (the
    // SONAME link, not the file it points to).
    return boost::filesystem::absolute(effectiveLoaderPath()).lexically_normal().string();
}

std::string Context::versionText() const {
    const zul::Version& api = zul::getVersion();
    return std::string("zul ") + ZUL_TOOL_VERSION + "\nhost API " + std::to_string(api.major) +
           "." + std::to_string(api.minor) + " (host core " + api.name + ")\nloader " +
           resolvedLoaderPath();
}

void Context::printRecord(int level, const std::string& text) {
    std::cerr << '[' << level << "] " << text << '\n';
}

void Context::installLogSink() {
    zulx::setLogSink(
        [this](zul::LogLevel level, const std::string& text) {
            if (mHolding)
                mHeld.emplace_back(static_cast<int>(level), text);
            else
                printRecord(static_cast<int>(level), text);
        },
        static_cast<zul::LogLevel>(logLevel));
}

void Context::holdLog() {
    mHolding = true;
}

std::vector<std::pair<int, std::string>> Context::releaseLog() {
    mHolding = false;
    std::vector<std::pair<int, std::string>> held;
    held.swap(mHeld);
    return held;
}

std::string oneLine(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
        else
            out += c;
    }
    return out;
}

} // namespace zultool
