// Plugin discovery: the built-in decoder, path checks, the recursive scan and
// the listing that ends every call.
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ::testing::ElementsAre;
using zt::Texts;

using DiscoveryTest = zt::ManagerTest;

// What a scan loads and logs, the listing aside. Only the exact suffix
// counts: libzt_upper.SO is not loaded. The text file named like a library is
// tried and fails; the scan goes on. A library found twice is kept once.
TEST_F(DiscoveryTest, ScanLoadsLibraryFilesAtEveryDepthAndReportsMissingPaths) {
    const std::string text = zt::tree("good/not-a-library.so");
    const std::string decoders = zt::library("good", "zt_decoders");
    const auto item = [](int i, const std::string& path) {
        return zt::Record{1, "zulPlugins item " + std::to_string(i) + ": '" + path + "'"};
    };
    const Texts paths = {zt::tree("good"), zt::tree("no/such"), zt::tree("good/notes.txt"),
                         decoders};

    zt::addPluginPaths(*manager, paths);

    auto records = log.records();
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [](const zt::Record& r) { return r.first == 2; }),
                  records.end());
    EXPECT_EQ(records,
              (std::vector<zt::Record>{item(0, paths[0]),
                                       {4, "failed to load library: error while loading library '" +
                                               text + "': " + zt::dlError(text)},
                                       {3, "failed to load library not-a-library.so"},
                                       item(1, paths[1]),
                                       {3, "Invalid plugin path: '" + paths[1] + "'"},
                                       item(2, paths[2]),
                                       item(3, decoders)}));
    EXPECT_EQ(zt::loadedPaths(*manager), (Texts{decoders, zt::library("good/one", "zt_encoders"),
                                                zt::library("good/one/two", "zt_adaptors"),
                                                zt::library("good/one/two/three", "zt_deep")}));
    EXPECT_EQ(zt::countEvents("decoders:register"), 2);
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

} // namespace
