// Loading single extension libraries: every way a library can fail, what the
// manager keeps afterwards, and its teardown: unregistration, then the
// factories, then the libraries.
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <algorithm>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;
using zt::Record;
using zt::Texts;

using ExtensionLibraryTest = zt::ManagerTest;
using TeardownTest = zt::ManagerTest;

TEST_F(ExtensionLibraryTest, RejectedLibraryIsLoggedUnloadedAndNotKept) {
    const std::string unknown = zt::library("bad", "zt_throwing_unknown");
    const std::string missing = zt::library("bad", "zt_missing_minor");
    struct Case {
        std::string path;
        const char* neverRan; ///< a journal event of the library's entry points
        Record record;
    };
    const Case cases[] = {
        {zt::library("bad", "zt_minor_mismatch"),
         "minor-mismatch:register",
         {3, "extension library 'libzt_minor_mismatch.so' NOT loaded due to api version mismatch: "
             "zul has version 1.0.x, extension library has version 1.1.x"}},
        {missing,
         "missing-minor:version-major",
         {1, "library '" + missing +
                 "' is not a compatible extension (reason: 'error while loading function "
                 "'getVersionMinor': " +
                 zt::dlError(missing, "getVersionMinor") + "')"}},
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
    ASSERT_EQ(seen.size(), 3u + 3u + 2u + 2u + 1u + 1u);
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

// A bare file name is the file in the current directory, never a library of
// the same name in the system's library directories.
TEST_F(ExtensionLibraryTest, BareFileNameIsTheFileInTheCurrentDirectory) {
    const boost::filesystem::path before = boost::filesystem::current_path();
    boost::filesystem::current_path(zt::tree("good"));
    load("libzt_decoders.so");
    boost::filesystem::current_path(before);

    EXPECT_EQ(zt::loadedPaths(*manager), Texts{"libzt_decoders.so"});
    EXPECT_TRUE(zt::isLoaded(zt::library("good", "zt_decoders")));
}

} // namespace
