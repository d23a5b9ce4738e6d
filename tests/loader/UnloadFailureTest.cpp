// ExtensionLibrary over a platform layer that loads nothing and fails to
// unload: the one failure that a real module cannot be made to produce on demand.
#include "loader/ExtensionLibrary.h"
#include "loader/SharedLibrary.h"

#include "testsupport/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace loader {
namespace {

int fakeModule = 0;

} // namespace

void* loadSharedLibrary(const boost::filesystem::path&) {
    return &fakeModule;
}

void* getSharedLibraryFunction(void*, const char*) {
    return nullptr;
}

void unloadSharedLibrary(void*&) {
    throw std::runtime_error("!!! error while unloading extension library: " +
                             getSystemErrorText());
}

std::string getSystemErrorText() {
    return "the module is busy";
}

} // namespace loader

namespace {

TEST(ExtensionLibraryUnloadFailure, IsLoggedAndTheObjectIsStillDestroyed) {
    testsupport::LogCapture log;
    { loader::ExtensionLibrary library("/plugins/libstubborn.so"); }
    EXPECT_THAT(log.records(),
                ::testing::ElementsAre(::testing::Pair(
                    4, "failed to unload library: !!! error while unloading extension library: "
                       "the module is busy")));
}

} // namespace
