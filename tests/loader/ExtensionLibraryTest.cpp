// Loading single extension libraries: every way a library can fail, and what
// the manager keeps afterwards.
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;
using zt::Record;
using zt::Texts;

using ExtensionLibraryTest = zt::ManagerTest;

TEST_F(ExtensionLibraryTest, RejectedLibraryIsLoggedUnloadedAndNotKept) {
    const std::string missingMinor = zt::library("bad", "zt_missing_minor");
    const std::string unknown = zt::library("bad", "zt_throwing_unknown");
    const auto mismatch = [](const char* file, const char* version) {
        return Record{3, std::string("extension library '") + file +
                             "' NOT loaded due to api version mismatch: zul has version 1.0.x, "
                             "extension library has version " +
                             version};
    };
    struct Case {
        std::string path;
        const char* neverRan; ///< a journal event of the library's entry points
        Record record;
    };
    const Case cases[] = {
        {missingMinor,
         "missing-minor:version-major",
         {1, "library '" + missingMinor +
                 "' is not a compatible extension (reason: 'error while loading function "
                 "'getVersionMinor': " +
                 zt::dlError(missingMinor, "getVersionMinor") + "')"}},
        {zt::library("bad", "zt_minor_mismatch"), "minor-mismatch:register",
         mismatch("libzt_minor_mismatch.so", "1.1.x")},
        {unknown,
         "throwing-unknown:unregister",
         {1, "library '" + unknown + "' is not a compatible extension (unknown reason)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        log.clear();

        load(c.path);

        EXPECT_THAT(log.records(), ElementsAre(c.record));
        EXPECT_EQ(zt::countEvents(c.neverRan), 0);
        EXPECT_FALSE(zt::isLoaded(c.path));
    }
    EXPECT_TRUE(manager->getLibraries().empty());
    EXPECT_TRUE(manager->getFactories().empty());
}

// Loads itself from its registration: the innermost load fails, the others stay.
TEST_F(ExtensionLibraryTest, LibraryThatLoadsItselfStopsAtTheDepthLimit) {
    const std::string path = zt::library("bad", "zt_recursive");

    load(path);

    EXPECT_THAT(log.records(),
                ElementsAre(Pair(1, "library '" + path +
                                        "' is not a compatible extension (reason: 'extension "
                                        "libraries load each other more than 8 levels deep')")));
    EXPECT_EQ(zt::countEvents("recursive:register"), 8);
    EXPECT_EQ(zt::loadedPaths(*manager), Texts{path});
    EXPECT_EQ(manager->getFactories().size(), 1u);
    EXPECT_EQ(manager->getFactories().begin()->first, L"test.minimal.recursive");
}

// Whatever the failed library still has to run (its factories' destructors,
// its exception's destructor) must run before it is unloaded.
TEST_F(ExtensionLibraryTest, FailedRegistrationIsTakenBackWhileTheLibraryIsStillLoaded) {
    const std::string decoders = zt::library("good", "zt_decoders");
    load(decoders);
    const auto factoriesBefore = manager->getFactories();
    log.clear();
    probe::events().clear();
    const std::string path = zt::library("bad", "zt_throwing");
    Texts ranWhileUnloaded;
    probe::hook() = [&](const std::string& event) {
        if (!zt::isLoaded(path))
            ranWhileUnloaded.push_back(event);
    };

    load(path);
    probe::hook() = nullptr;

    EXPECT_THAT(log.records(), ElementsAre(Pair(1, "library '" + path +
                                                       "' is not a compatible extension (reason: "
                                                       "'registration failed on purpose')")));
    EXPECT_THAT(probe::events(),
                UnorderedElementsAre("throwing:version-major", "throwing:version-minor",
                                     "throwing:register", "throwing:destroy:test.throwing.own",
                                     "throwing:destroy:test.decoder.geo.a",
                                     "throwing:exception-destroyed"));
    EXPECT_THAT(ranWhileUnloaded, IsEmpty());
    EXPECT_FALSE(zt::isLoaded(path));
    // The registry is as before: the displaced factory is back in its place.
    EXPECT_EQ(manager->getFactories(), factoriesBefore);
    EXPECT_EQ(zt::loadedPaths(*manager), Texts{decoders});
}

} // namespace
