// The manager's teardown: unregistration, then the factories, then the libraries.
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

using TeardownTest = zt::ManagerTest;

// A library loaded twice registers twice, is kept once and unregisters once.
TEST_F(TeardownTest, LibrariesUnregisterBeforeAnyFactoryDiesAndOutliveThemAll) {
    const std::string decoders = zt::library("good", "zt_decoders");
    const std::string encoders = zt::library("good/one", "zt_encoders");
    load(decoders);
    load(encoders);
    load(encoders);
    EXPECT_EQ(zt::countEvents("encoders:register"), 2);
    EXPECT_EQ(zt::loadedPaths(*manager), (zt::Texts{decoders, encoders}));
    probe::events().clear();
    // Each event, with whether both libraries were loaded at that moment.
    std::vector<std::pair<std::string, bool>> seen;
    probe::hook() = [&](const std::string& event) {
        seen.emplace_back(event, zt::isLoaded(decoders) && zt::isLoaded(encoders));
    };

    manager.reset();
    probe::hook() = nullptr;

    ASSERT_EQ(seen.size(), 2u + 7u + 2u + 2u); // the displaced encoder factories die too
    EXPECT_EQ(seen[0].first, "decoders:unregister");
    EXPECT_EQ(seen[1].first, "encoders:unregister");
    for (size_t i = 2; i < seen.size(); ++i) {
        EXPECT_NE(seen[i].first.find(":destroy:"), std::string::npos) << seen[i].first;
        EXPECT_TRUE(seen[i].second) << seen[i].first << " ran after a library was unloaded";
    }
    EXPECT_FALSE(zt::isLoaded(decoders));
    EXPECT_FALSE(zt::isLoaded(encoders));
}

TEST_F(TeardownTest, MissingOrThrowingUnregisterIsLoggedAndTeardownGoesOn) {
    const std::string missing = zt::library("bad", "zt_no_unregister");
    const std::string throwing = zt::library("bad", "zt_unregister_throws");
    load(missing);
    load(throwing);
    load(zt::library("good/one", "zt_encoders"));
    const std::string lookupFailure = zt::dlError(missing, "unregisterExtensionFactories");
    log.clear();

    manager.reset();

    EXPECT_THAT(zt::recordsAt(log, 4),
                ElementsAre("failed to unregister library 'libzt_no_unregister.so': error while "
                            "loading function 'unregisterExtensionFactories': " +
                                lookupFailure,
                            "failed to unregister library 'libzt_unregister_throws.so': "
                            "unregistering failed on purpose"));
    EXPECT_TRUE(zt::hasEvent("encoders:unregister"));
    EXPECT_TRUE(zt::hasEvent("no-unregister:destroy:test.minimal.no-unregister"));
    EXPECT_TRUE(zt::hasEvent("unregister-throws:destroy:test.minimal.unregister-throws"));
    EXPECT_FALSE(zt::isLoaded(missing));
    EXPECT_FALSE(zt::isLoaded(throwing));
}

} // namespace
