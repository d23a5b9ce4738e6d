// The manager's teardown: unregistration, then the factories, then the libraries.
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ::testing::ElementsAre;

using TeardownTest = zt::ManagerTest;

// A library loaded twice registers twice, is kept once and unregisters once;
// a missing or throwing unregistration is logged and teardown goes on.
TEST_F(TeardownTest, LibrariesUnregisterBeforeAnyFactoryDiesAndOutliveThemAll) {
    const zt::Texts paths = {
        zt::library("good", "zt_decoders"), zt::library("good/one", "zt_encoders"),
        zt::library("bad", "zt_no_unregister"), zt::library("bad", "zt_unregister_throws")};
    for (const std::string& path : paths)
        load(path);
    load(paths[1]);
    const std::string lookupFailure = zt::dlError(paths[2], "unregisterExtensionFactories");
    log.clear();
    probe::events().clear();
    // Each event, with whether every library was loaded at that moment.
    std::vector<std::pair<std::string, bool>> seen;
    probe::hook() = [&](const std::string& event) {
        seen.emplace_back(event, std::all_of(paths.begin(), paths.end(), zt::isLoaded));
    };

    manager.reset();
    probe::hook() = nullptr;

    // Three unregistrations, then the factories, the displaced encoders too.
    ASSERT_EQ(seen.size(), 3u + 4u + 2u + 2u + 1u + 1u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_NE(seen[i].first.find(i < 3 ? ":unregister" : ":destroy:"), std::string::npos)
            << seen[i].first;
        EXPECT_TRUE(seen[i].second) << seen[i].first << " ran after a library was unloaded";
    }
    EXPECT_THAT(zt::recordsAt(log, 4),
                ElementsAre("failed to unregister library 'libzt_no_unregister.so': error while "
                            "loading function 'unregisterExtensionFactories': " +
                                lookupFailure,
                            "failed to unregister library 'libzt_unregister_throws.so': "
                            "unregistering failed on purpose"));
    for (const std::string& path : paths)
        EXPECT_FALSE(zt::isLoaded(path)) << path;
}

} // namespace
