// Dynamic loading on POSIX systems; the only file that calls dlfcn.
#include "loader/SharedLibrary.h"

#include <dlfcn.h>

#include <stdexcept>

namespace loader {

std::string getSystemErrorText() {
    // dlerror() reports, and then forgets, the last failure of this thread.
    const char* text = dlerror();
    return text ? text : "unknown dynamic loading error";
}

void* loadSharedLibrary(const boost::filesystem::path& path) {
    // There is no process-wide search directory to set here: an extension
    // library finds the libraries beside it through its own run path
    // ($ORIGIN), which the dynamic linker expands to the library's directory.
    // RTLD_NOW reports a missing dependency or symbol now, as a load failure,
    // instead of as a crash at the first call; RTLD_LOCAL keeps each
    // library's symbols away from the others.
    const std::string narrow = path.string();
    // A name without a slash would make dlopen search the system's library
    // directories instead of opening the file that was found.
    const std::string file = narrow.find('/') == std::string::npos ? "./" + narrow : narrow;
    dlerror();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error("error while loading library '" + narrow +
                                 "': " + getSystemErrorText());
    return handle;
}

void* getSharedLibraryFunction(void* handle, const char* name) {
    // A null handle would make dlsym search the whole process.
    if (!handle)
        throw std::runtime_error(std::string("error while loading function '") + name +
                                 "': the library is not loaded");
    dlerror();
    void* symbol = dlsym(handle, name);
    if (!symbol)
        throw std::runtime_error(std::string("error while loading function '") + name +
                                 "': " + getSystemErrorText());
    return symbol;
}

void unloadSharedLibrary(void*& handle) {
    if (!handle)
        return;
    dlerror();
    if (dlclose(handle) != 0)
        throw std::runtime_error("!!! error while unloading extension library: " +
                                 getSystemErrorText());
    handle = nullptr;
}

} // namespace loader
