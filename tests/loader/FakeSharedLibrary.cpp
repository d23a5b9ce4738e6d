// A platform layer that loads nothing and fails to unload, for the one
// failure that a real module cannot be made to produce on demand.
#include "loader/SharedLibrary.h"

#include <stdexcept>

namespace loader {
namespace {

int fakeModule = 0;

} // namespace

void* loadSharedLibrary(const boost::filesystem::path&) {
    return &fakeModule;
}

void* getSharedLibraryFunction(void*, const char* name) {
    throw std::runtime_error(std::string("error while loading function '") + name +
                             "': " + getSystemErrorText());
}

void unloadSharedLibrary(void*&) {
    throw std::runtime_error("!!! error while unloading extension library: " +
                             getSystemErrorText());
}

std::string getSystemErrorText() {
    return "the module is busy";
}

} // namespace loader
