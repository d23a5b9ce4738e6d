#include "loader/ExtensionLibrary.h"

#include "testsupport/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(ExtensionLibraryUnloadFailure, IsLoggedAndTheObjectIsStillDestroyed) {
    testsupport::LogCapture log;
    {
        loader::ExtensionLibrary library("/plugins/libstubborn.so");
        EXPECT_NE(library.getHandle(), nullptr);
    }
    EXPECT_THAT(log.records(),
                ElementsAre(Pair(4, "failed to unload library: !!! error while unloading "
                                    "extension library: the module is busy")));
}

} // namespace
