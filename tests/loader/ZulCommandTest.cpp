// The zul extensions command, run as a separate process.
#include "testsupport/Command.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Outcome = testsupport::CommandResult;

Outcome run(const std::string& arguments) {
    return testsupport::runCommand(std::string(ZUL_COMMAND) + " " + arguments);
}

/// Standard error from the "[2] Available Extensions:" record on.
std::vector<std::string> listingOnStderr(const Outcome& r) {
    const std::vector<std::string> errLines = testsupport::lines(r.err);
    const auto start = std::find(errLines.begin(), errLines.end(), "[2] Available Extensions:");
    return std::vector<std::string>(start, errLines.end());
}

TEST(ZulExtensions, WithoutPluginsListsOnlyTheBuiltInDecoder) {
    const Outcome r = run("extensions --no-default-plugins --log-level 1");
    ASSERT_EQ(r.status, 0);
    EXPECT_THAT(listingOnStderr(r),
                ElementsAre("[2] Available Extensions:",
                            "[2]     com.ulno.zul.core.SGBDecoder                  (0.0) SGB Byte "
                            "Stream Reader"));
    EXPECT_THAT(r.out, HasSubstr("com.ulno.zul.core.SGBDecoder"));
    EXPECT_THAT(r.out, HasSubstr("decoder"));
    EXPECT_THAT(r.out, HasSubstr("SGB Byte Stream Reader"));
}

TEST(ZulExtensions, DefaultLevelShowsNoListing) {
    const Outcome r = run("extensions --no-default-plugins");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(ZulExtensions, JsonDescribesEveryKind) {
    const Outcome r = run(std::string("extensions --no-default-plugins --json --plugins ") +
                          ZT_TREE + "/good/one");
    ASSERT_EQ(r.status, 0);
    const nlohmann::json list = nlohmann::json::parse(r.out);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 9u);
    std::map<std::string, nlohmann::json> byId;
    for (const auto& e : list)
        byId[e.at("id").get<std::string>()] = e;
    EXPECT_EQ(list[0].at("id"), "com.ulno.zul.adaptors.FileSystemAdaptor"); // registry order
    EXPECT_EQ(byId.at("com.ulno.zul.core.SGBDecoder").at("kind"), "decoder");
    EXPECT_EQ(byId.at("com.ulno.zul.core.SGBDecoder").at("contentType"), "SGB");
    EXPECT_EQ(byId.at("test.encoder.csv").at("kind"), "encoder");
    EXPECT_EQ(byId.at("test.encoder.csv").at("contentType"), "Geometry");
    EXPECT_EQ(byId.at("test.encoder.csv").at("merit"), 1.0);
    EXPECT_EQ(byId.at("test.adaptor.mem.better").at("kind"), "adaptor");
    EXPECT_EQ(byId.at("test.adaptor.mem.better").at("merit"), 2.0);
    EXPECT_EQ(byId.at("test.minimal.deep").at("description"), "decodes test.minimal.deep");
}

TEST(ZulExtensions, DefaultPluginDirectoryBringsTheFileSystemAdaptor) {
    const Outcome r = run("extensions --json");
    ASSERT_EQ(r.status, 0);
    const nlohmann::json list = nlohmann::json::parse(r.out);
    std::vector<std::string> adaptors;
    for (const auto& e : list)
        if (e.at("kind") == "adaptor")
            adaptors.push_back(e.at("id"));
    EXPECT_THAT(adaptors, ElementsAre("com.ulno.zul.adaptors.FileSystemAdaptor"));
}

TEST(ZulExtensions, UnknownOptionIsAUsageError) {
    EXPECT_EQ(run("extensions --no-such-option").status, 2);
}

} // namespace
