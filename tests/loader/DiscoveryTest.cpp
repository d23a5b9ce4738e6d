// Plugin discovery: the built-in decoder, path checks, the recursive scan and
// the listing that ends every call.
#include "TestSupport.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

using DiscoveryTest = zt::ManagerTest;

const char* const kBuiltInLine =
    "    com.ulno.zul.core.SGBDecoder                  (0.0) SGB Byte Stream Reader";

TEST_F(DiscoveryTest, NoPathsRegisterOnlyTheBuiltInDecoder) {
    manager->addPluginPaths(nullptr, 0);
    const zulx::ExtensionFactory* first = manager->getFactories().begin()->second;

    EXPECT_EQ(zt::registeredIds(*manager),
              std::vector<std::string>{"com.ulno.zul.core.SGBDecoder"});
    EXPECT_THAT(zt::recordsAt(log, 2), ElementsAre("Available Extensions:", kBuiltInLine));

    log.clear();
    manager->addPluginPaths(nullptr, 0);
    EXPECT_EQ(zt::registeredIds(*manager),
              std::vector<std::string>{"com.ulno.zul.core.SGBDecoder"});
    EXPECT_NE(manager->getFactories().begin()->second, first); // the newest instance
    EXPECT_THAT(zt::listing(log), ElementsAre(kBuiltInLine));
}

TEST_F(DiscoveryTest, PathNamingOneLibraryLoadsExactlyThatFile) {
    const std::string path = zt::library("good", "zt_decoders");
    zt::addPluginPaths(*manager, {path});
    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{path});
    EXPECT_THAT(zt::recordsAt(log, 1), ElementsAre("zulPlugins item 0: '" + path + "'"));
}

TEST_F(DiscoveryTest, RegularFileWithAnotherExtensionOnlyShowsTheItem) {
    const std::string path = zt::tree("good/notes.txt");
    zt::addPluginPaths(*manager, {path});
    EXPECT_TRUE(manager->getLibraries().empty());
    EXPECT_THAT(log.records(),
                ElementsAre(testsupport::LogCapture::Record{1, "zulPlugins item 0: '" + path + "'"},
                            testsupport::LogCapture::Record{2, "Available Extensions:"},
                            testsupport::LogCapture::Record{2, kBuiltInLine}));
}

TEST_F(DiscoveryTest, DirectoryTreeIsScannedAtEveryDepthForExactSuffixOnly) {
    zt::addPluginPaths(*manager, {zt::tree("good")});

    std::vector<std::string> loaded = zt::loadedPaths(*manager);
    std::sort(loaded.begin(), loaded.end());
    EXPECT_THAT(loaded, ElementsAre(zt::library("good", "zt_decoders"),
                                    zt::library("good/one", "zt_encoders"),
                                    zt::library("good/one/two", "zt_adaptors"),
                                    zt::library("good/one/two/three", "zt_deep")));
    EXPECT_THAT(zt::registeredIds(*manager), Not(Contains("test.minimal.upper")));
    EXPECT_FALSE(zt::hasEvent("upper:register"));
    // The text file named like a library is tried and fails; the scan goes on.
    EXPECT_TRUE(log.contains(3, "failed to load library not-a-library.so"));
    EXPECT_EQ(zt::recordsAt(log, 2).front(), "Available Extensions:");
}

TEST_F(DiscoveryTest, MissingPathIsReportedAndTheOthersAreStillScanned) {
    const std::string missing = zt::tree("no/such/dir");
    zt::addPluginPaths(*manager, {zt::tree("dup"), missing, zt::tree("good/one/two/three")});

    EXPECT_TRUE(log.contains(3, "Invalid plugin path: '" + missing + "'"));
    EXPECT_THAT(zt::recordsAt(log, 1),
                ElementsAre("zulPlugins item 0: '" + zt::tree("dup") + "'",
                            "zulPlugins item 1: '" + missing + "'",
                            "zulPlugins item 2: '" + zt::tree("good/one/two/three") + "'"));
    EXPECT_EQ(manager->getLibraries().size(), 2u);
    EXPECT_EQ(zt::listing(log).size(), 3u);
}

TEST_F(DiscoveryTest, NullPathIsAnInvalidPath) {
    const wchar_t* paths[] = {nullptr};
    manager->addPluginPaths(paths, 1);
    EXPECT_TRUE(log.contains(3, "Invalid plugin path: ''"));
}

TEST_F(DiscoveryTest, ListingShowsEveryFactoryInIdOrder) {
    zt::addPluginPaths(*manager, {zt::tree("good/one")});
    EXPECT_THAT(
        zt::listing(log),
        ElementsAre(
            "    com.ulno.zul.adaptors.FileSystemAdaptor       (0.0) opens "
            "com.ulno.zul.adaptors.FileSystemAdaptor",
            kBuiltInLine,
            "    test.adaptor.mem                              (1.0) opens test.adaptor.mem",
            "    test.adaptor.mem.better                       (2.0) opens test.adaptor.mem.better",
            "    test.adaptor.nothing                          (0.0) opens test.adaptor.nothing",
            "    test.encoder.csv                              (1.0) encodes test.encoder.csv",
            "    test.encoder.nothing                          (0.0) encodes test.encoder.nothing",
            "    test.encoder.otherkind                        (0.0) encodes "
            "test.encoder.otherkind",
            "    test.minimal.deep                             (0.0) decodes test.minimal.deep"));
}

TEST_F(DiscoveryTest, ListingShowsMeritsThatNeverWinAsTheyAre) {
    zt::addPluginPaths(*manager, {zt::library("good", "zt_decoders")});
    const std::vector<std::string> lines = zt::listing(log);
    EXPECT_THAT(lines, Contains("    test.decoder.nan                              (nan) decodes "
                                "test.decoder.nan"));
    EXPECT_THAT(lines, Contains("    test.decoder.neginf                           (-inf) decodes "
                                "test.decoder.neginf"));
    // The empty id is padded like any other.
    EXPECT_THAT(lines, Contains(std::string(4 + 45 + 1, ' ') + "(5.0) decodes "));
}

TEST_F(DiscoveryTest, ScanningTwiceLoadsTwiceAndKeepsOneEntryPerPath) {
    zt::addPluginPaths(*manager, {zt::tree("good/one")});
    zt::addPluginPaths(*manager, {zt::tree("good/one")});
    const std::vector<std::string> all = zt::events();
    EXPECT_EQ(std::count(all.begin(), all.end(), "encoders:register"), 2);
    EXPECT_EQ(std::count(all.begin(), all.end(), "deep:register"), 2);
    EXPECT_EQ(manager->getLibraries().size(), 3u);
}

TEST_F(DiscoveryTest, FileSystemErrorStopsTheCallButKeepsWhatWasLoaded) {
    zt::TempDir dir;
    const std::string loop = dir.path() + "/loop";
    boost::filesystem::create_symlink(loop, loop); // its status cannot be read: ELOOP
    const std::string library = zt::library("good", "zt_decoders");

    const auto scan = [&] { zt::addPluginPaths(*manager, {library, loop, zt::tree("dup")}); };
    EXPECT_THROW(scan(), boost::filesystem::filesystem_error);

    EXPECT_EQ(zt::loadedPaths(*manager), std::vector<std::string>{library});
    EXPECT_FALSE(zt::hasEvent("duplicate:register"));
    EXPECT_TRUE(zt::recordsAt(log, 2).empty()); // no listing
}

} // namespace
