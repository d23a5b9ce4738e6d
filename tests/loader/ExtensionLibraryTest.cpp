// Loading single extension libraries: every way a library can fail, and what
// the manager keeps afterwards.
#include "TestSupport.h"

#include "loader/ExtensionLibrary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>

#include <algorithm>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::StartsWith;

using ExtensionLibraryTest = zt::ManagerTest;

long countEvents(const std::string& event) {
    const std::vector<std::string> all = zt::events();
    return std::count(all.begin(), all.end(), event);
}

TEST_F(ExtensionLibraryTest, FileThatIsNoModuleIsLoggedTwiceAndNothingIsKept) {
    const std::string path = zt::tree("good/not-a-library.so");
    const std::string systemText = zt::dlopenError(path);

    load(path);

    EXPECT_THAT(log.records(),
                ElementsAre(Pair(4, "failed to load library: error while loading library '" + path +
                                        "': " + systemText),
                            Pair(3, "failed to load library not-a-library.so")));
    EXPECT_TRUE(manager->getLibraries().empty());
    EXPECT_TRUE(manager->getFactories().empty());
    EXPECT_EQ(manager->getCurrentLibraryName(), "not-a-library.so");
}

TEST_F(ExtensionLibraryTest, MissingEntryPointIsLookedUpBeforeAnyVersionFunctionIsCalled) {
    const std::string path = zt::library("bad", "zt_missing_minor");
    const std::string reason = "error while loading function 'getVersionMinor': " +
                               zt::dlsymError(path, "getVersionMinor");

    load(path);

    EXPECT_THAT(
        log.records(),
        ElementsAre(Pair(1, "library '" + path + "' is not a compatible extension (reason: '" +
                                reason + "')")));
    EXPECT_TRUE(manager->getLibraries().empty());
    EXPECT_TRUE(manager->getFactories().empty());
    EXPECT_FALSE(zt::isLoaded(path));
    EXPECT_FALSE(zt::hasEvent("missing-minor:version-major"));
    EXPECT_FALSE(zt::hasEvent("missing-minor:register"));
}

TEST_F(ExtensionLibraryTest, OtherApiVersionIsRejectedBeforeRegistration) {
    struct Case {
        const char* target;
        const char* library;
        const char* libraryVersion;
    };
    const Case cases[] = {{"zt_minor_mismatch", "minor-mismatch", "1.1.x"},
                          {"zt_major_mismatch", "major-mismatch", "2.0.x"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        log.clear();
        const std::string path = zt::library("bad", c.target);

        load(path);

        EXPECT_THAT(log.records(),
                    ElementsAre(Pair(3, std::string("extension library 'lib") + c.target +
                                            ".so' NOT loaded due to api version mismatch: zul has "
                                            "version 1.0.x, extension library has version " +
                                            c.libraryVersion)));
        EXPECT_TRUE(zt::hasEvent(std::string(c.library) + ":version-minor"));
        EXPECT_FALSE(zt::hasEvent(std::string(c.library) + ":register"));
        EXPECT_FALSE(zt::isLoaded(path));
    }
    EXPECT_TRUE(manager->getLibraries().empty());
    EXPECT_TRUE(manager->getFactories().empty());
}

TEST_F(ExtensionLibraryTest, FailedRegistrationIsTakenBackWhileTheLibraryIsStillLoaded) {
    struct Case {
        const char* target;
        const char* library;
        const char* outcome;
    };
    const Case cases[] = {
        {"zt_throwing", "throwing", "(reason: 'registration failed on purpose')"},
        {"zt_throwing_unknown", "throwing-unknown", "(unknown reason)"},
    };
    const std::string decoders = zt::library("good", "zt_decoders");
    load(decoders);
    const auto factoriesBefore = manager->getFactories();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        log.clear();
        probe::clear();
        const std::string path = zt::library("bad", c.target);
        const std::string prefix = std::string(c.library) + ":";
        // Whatever the failed library still has to run (its factories'
        // destructors, its exception's destructor) must run before unloading.
        std::vector<std::string> ranWhileUnloaded;
        probe::setHook([&](const std::string& event) {
            if (event.compare(0, prefix.size(), prefix) == 0 && !zt::isLoaded(path))
                ranWhileUnloaded.push_back(event);
        });

        load(path);
        probe::setHook(nullptr);

        EXPECT_THAT(log.records(),
                    ElementsAre(Pair(1, "library '" + path + "' is not a compatible extension " +
                                            c.outcome)));
        EXPECT_TRUE(zt::hasEvent(prefix + "destroy:test.throwing.own"));
        EXPECT_TRUE(zt::hasEvent(prefix + "destroy:test.decoder.geo.a"));
        EXPECT_TRUE(zt::hasEvent(prefix + "exception-destroyed"));
        EXPECT_THAT(ranWhileUnloaded, IsEmpty());
        EXPECT_FALSE(zt::isLoaded(path));
        // The registry is as before: the displaced factory is back in its place.
        EXPECT_EQ(manager->getFactories(), factoriesBefore);
        EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{decoders});
        manager->createDecoder(L"test.decoder.geo.a");
        EXPECT_TRUE(zt::hasEvent("decoders:create:test.decoder.geo.a"));
    }
}

TEST_F(ExtensionLibraryTest, SamePathTwiceRegistersTwiceAndIsKeptOnce) {
    const std::string path = zt::library("good/one", "zt_encoders");

    load(path);
    load(path);

    EXPECT_EQ(countEvents("encoders:register"), 2);
    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{path});
    EXPECT_EQ(manager->getFactories().size(), 3u);
    EXPECT_TRUE(zt::isLoaded(path));
    manager.reset();
    EXPECT_EQ(countEvents("encoders:unregister"), 1);
    EXPECT_FALSE(zt::isLoaded(path));
}

TEST_F(ExtensionLibraryTest, CurrentLibraryNameFollowsTheLastLoadStarted) {
    EXPECT_EQ(manager->getCurrentLibraryName(), "");
    load(zt::library("good", "zt_decoders"));
    EXPECT_EQ(manager->getCurrentLibraryName(), "libzt_decoders.so");
    load(zt::tree("good/not-a-library.so"));
    EXPECT_EQ(manager->getCurrentLibraryName(), "not-a-library.so");
    load(zt::tree("good/no-such-file.so"));
    EXPECT_EQ(manager->getCurrentLibraryName(), "no-such-file.so");
}

TEST_F(ExtensionLibraryTest, LibraryThatLoadsItselfStopsAtTheDepthLimit) {
    const std::string path = zt::library("bad", "zt_recursive");

    load(path);

    EXPECT_THAT(log.records(),
                ElementsAre(Pair(1, "library '" + path +
                                        "' is not a compatible extension (reason: 'extension "
                                        "libraries load each other more than 8 levels deep')")));
    EXPECT_EQ(countEvents("recursive:register"), 8);
    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{path});
    EXPECT_EQ(zt::registeredIds(*manager), std::vector<std::string>{"test.recursive"});
}

// The extension library needs libzt_sibling.so.1, which lies beside it, and
// finds it through its run path $ORIGIN wherever the two are put.
TEST_F(ExtensionLibraryTest, DependencyBesideTheLibraryIsFoundThroughItsRunPath) {
    const std::string sibling = zt::tree("sibling/libzt_sibling.so.1");
    ASSERT_FALSE(zt::isLoaded(sibling));
    zt::TempDir elsewhere;
    const std::string user = elsewhere.copy(zt::tree("sibling/libzt_sibling_user.so"));
    elsewhere.copy(sibling);

    load(user);

    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{user});
    std::unique_ptr<zul::DecoderInfo> info(manager->createDecoderInfo(L"test.sibling.user"));
    EXPECT_STREQ(info->getDescription(), L"described by the sibling library");
    EXPECT_THAT(log.records(), IsEmpty());
}

TEST_F(ExtensionLibraryTest, MissingDependencyIsALoadFailure) {
    ASSERT_FALSE(zt::isLoaded(zt::tree("sibling/libzt_sibling.so.1")));
    zt::TempDir alone;
    const std::string user = alone.copy(zt::tree("sibling/libzt_sibling_user.so"));

    load(user);

    ASSERT_EQ(log.records().size(), 2u);
    const auto first = log.records()[0];
    EXPECT_EQ(first.first, 4);
    EXPECT_THAT(first.second,
                StartsWith("failed to load library: error while loading library '" + user + "': "));
    EXPECT_THAT(first.second, HasSubstr("libzt_sibling.so.1: cannot open shared object file"));
    EXPECT_EQ(log.records()[1],
              (testsupport::LogCapture::Record{3, "failed to load library libzt_sibling_user.so"}));
    EXPECT_TRUE(manager->getLibraries().empty());
}

// A bare file name is the file in the current directory, never a library of
// the same name in the system's library directories.
TEST_F(ExtensionLibraryTest, BareFileNameIsTheFileInTheCurrentDirectory) {
    const boost::filesystem::path before = boost::filesystem::current_path();
    boost::filesystem::current_path(zt::tree("good"));
    load("libzt_decoders.so");
    boost::filesystem::current_path(before);

    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{"libzt_decoders.so"});
    EXPECT_TRUE(zt::isLoaded(zt::library("good", "zt_decoders")));
}

TEST(ExtensionLibrary, LoadsCallsAndUnloadsOnItsOwn) {
    testsupport::LogCapture log;
    probe::clear();
    const std::string path = zt::library("good/one", "zt_encoders");
    {
        loader::ExtensionLibrary library(path);
        ASSERT_NE(library.getHandle(), nullptr);
        EXPECT_EQ(library.getName(), "libzt_encoders.so");
        EXPECT_EQ(library.getVersion(), std::make_pair(1, 0));
        EXPECT_TRUE(zt::isLoaded(path));
    }
    EXPECT_FALSE(zt::isLoaded(path));
    EXPECT_THAT(zt::events(), ElementsAre("encoders:version-major", "encoders:version-minor"));
    EXPECT_THAT(log.records(), IsEmpty());
}

} // namespace
