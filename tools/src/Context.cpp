#include "Context.h"

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

std::string Context::defaultLoaderPath() const {
    return executableDir() + "/../lib/libcom.ulno.zul.loader.so";
}

std::string Context::defaultPluginDir() const {
    return executableDir() + "/../lib/zul/plugins";
}

std::unique_ptr<zulx::ExtensionManager> Context::createManager() {
    if (!mInit) {
        const std::string path = loaderPath.empty() ? defaultLoaderPath() : loaderPath;
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

void Context::installLogSink() {
    zulx::setLogSink(
        [](zul::LogLevel level, const std::string& text) {
            std::cerr << '[' << static_cast<int>(level) << "] " << text << '\n';
        },
        static_cast<zul::LogLevel>(logLevel));
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
