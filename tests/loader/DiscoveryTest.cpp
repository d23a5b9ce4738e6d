// Plugin discovery: the built-in decoder, path checks, the recursive scan and
// the listing that ends every call.
#include "TestSupport.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ::testing::ElementsAre;
using zt::Texts;

using DiscoveryTest = zt::ManagerTest;

// What each scan loads and logs, the listing aside.
TEST_F(DiscoveryTest, ScanLoadsLibraryFilesAtEveryDepthAndReportsMissingPaths) {
    const std::string text = zt::tree("good/not-a-library.so");
    const std::string decoders = zt::library("good", "zt_decoders");
    const auto item = [](int i, const std::string& path) {
        return zt::Record{1, "zulPlugins item " + std::to_string(i) + ": '" + path + "'"};
    };
    struct Case {
        Texts paths;
        std::vector<zt::Record> records;
        Texts loaded; ///< in path order
    };
    const Case cases[] = {
        // Only the exact suffix counts: libzt_upper.SO is not loaded. The text
        // file named like a library is tried and fails; the scan goes on.
        {{zt::tree("good")},
         {item(0, zt::tree("good")),
          {4, "failed to load library: error while loading library '" + text +
                  "': " + zt::dlError(text)},
          {3, "failed to load library not-a-library.so"}},
         {decoders, zt::library("good/one", "zt_encoders"),
          zt::library("good/one/two", "zt_adaptors"),
          zt::library("good/one/two/three", "zt_deep")}},
        {{zt::tree("good/one/two/three"), zt::tree("no/such"), zt::tree("good/notes.txt"),
          decoders},
         {item(0, zt::tree("good/one/two/three")),
          item(1, zt::tree("no/such")),
          {3, "Invalid plugin path: '" + zt::tree("no/such") + "'"},
          item(2, zt::tree("good/notes.txt")),
          item(3, decoders)},
         {decoders, zt::library("good/one/two/three", "zt_deep")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paths.front());
        manager = std::make_unique<loader::ExtensionManagerImpl>();
        log.clear();

        zt::addPluginPaths(*manager, c.paths);

        auto records = log.records();
        records.erase(std::remove_if(records.begin(), records.end(),
                                     [](const zt::Record& r) { return r.first == 2; }),
                      records.end());
        EXPECT_EQ(records, c.records);
        EXPECT_EQ(zt::loadedPaths(*manager), c.loaded);
    }
}

// Ids padded to 45 characters, merits with one decimal.
TEST_F(DiscoveryTest, EveryCallEntersANewBuiltInDecoderAndListsEveryFactoryInIdOrder) {
    const wchar_t* none[] = {nullptr};
    manager->addPluginPaths(none, 1);
    EXPECT_TRUE(log.contains(3, "Invalid plugin path: ''"));
    ASSERT_EQ(manager->getFactories().size(), 1u);
    const zulx::ExtensionFactory* first = manager->getFactories().begin()->second;
    log.clear();
    zt::addPluginPaths(*manager, {zt::library("good/one", "zt_encoders")});
    EXPECT_NE(manager->getFactories().at(L"com.ulno.zul.core.SGBDecoder"), first);
    EXPECT_THAT(
        zt::recordsAt(log, 2),
        ElementsAre(
            "Available Extensions:",
            "    com.ulno.zul.core.SGBDecoder                  (0.0) SGB Byte Stream Reader",
            "    test.encoder.csv                              (1.0) encodes test.encoder.csv",
            "    test.encoder.otherkind                        (0.0) encodes "
            "test.encoder.otherkind"));
}

TEST_F(DiscoveryTest, FileSystemErrorStopsTheCallButKeepsWhatWasLoaded) {
    testsupport::TempDir dir;
    const std::string loop = dir.path() + "/loop";
    boost::filesystem::create_symlink(loop, loop); // its status cannot be read: ELOOP
    const std::string library = zt::library("good", "zt_decoders");

    const auto scan = [&] { zt::addPluginPaths(*manager, {library, loop, zt::tree("good/one")}); };
    EXPECT_THROW(scan(), boost::filesystem::filesystem_error);

    EXPECT_EQ(zt::loadedPaths(*manager), Texts{library});
    EXPECT_EQ(zt::countEvents("encoders:register"), 0);
    EXPECT_TRUE(zt::recordsAt(log, 2).empty()); // no listing
}

} // namespace
