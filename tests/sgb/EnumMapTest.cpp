#include "sgb/EnumMap.h"

#include "util/RuntimeErrorST.h"

#include "Checksum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

// FNV-1a over "class\tkeyword\tvalue\n" of every keyword, classes and keywords
// in the order of the published enum keyword table, computed from that table.
constexpr uint64_t kExpectedChecksum = 0xb180b44838669dc4ULL;

TEST(EnumMapTest, TableMatchesThePublishedRows) {
    const sgb::EnumMap& map = sgb::getEnumMap();
    ASSERT_EQ(map.size(), 54u);

    // The published order is the classes' ASCII order and each keyword's
    // value, so sorting the map's contents by (class, value) restores it.
    std::vector<std::tuple<std::string, int32_t, std::string>> rows;
    for (const auto& cls : map)
        for (const auto& kw : cls.second)
            rows.emplace_back(cls.first, kw.second, kw.first);
    ASSERT_EQ(rows.size(), 318u);
    std::sort(rows.begin(), rows.end());

    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const auto& row : rows)
        hash = sgbtest::fnv1a(std::get<0>(row) + "\t" + std::get<2>(row) + "\t" +
                                  std::to_string(std::get<1>(row)) + "\n",
                              hash);
    EXPECT_EQ(hash, kExpectedChecksum);
    EXPECT_EQ(rows.front(),
              std::make_tuple(std::string("AdjustSelector"), 0, std::string("adjust")));
    EXPECT_EQ(rows.back(),
              std::make_tuple(std::string("UvNormalizeType"), 1, std::string("separatePerFace")));
}

TEST(EnumMapTest, ClassRowsAreInAsciiOrderWithDistinctKeywords) {
    ASSERT_EQ(sgb::enumClassCount(), 54u);
    size_t keywords = 0;
    for (size_t i = 0; i < sgb::enumClassCount(); ++i) {
        const sgb::EnumClassRow& row = sgb::enumClassRow(i);
        keywords += row.count;
        if (i > 0) {
            EXPECT_LT(std::string(sgb::enumClassRow(i - 1).name), row.name);
        }
        // A repeated keyword would collapse in the map and shift nothing else.
        EXPECT_EQ(sgb::getEnumMap().at(row.name).size(), row.count) << row.name;
    }
    EXPECT_EQ(keywords, 318u);
}

TEST(EnumMapTest, LookupGivesTheKeywordsPositionInItsClass) {
    const struct {
        const char* cls;
        const char* keyword;
        int32_t value;
    } cases[] = {
        {"AreaSelector", "all", 0},
        {"AreaSelector", "world$west", 29},
        {"Comp", "street$side", 47},
        {"Setback", "uv$vMax", 38},
        {"OrientationSelector", "back", 0},
        {"AreaSelector", "back", 1},
        {"Scale", "ABS", 0},
        {"Scale", "abs", -1}, // keywords are case-sensitive
        {"Scale", "", -1},
        {"Auto", "auto", 0},
        {"UvNormalizeType", "separatePerFace", 1},
    };
    const sgb::EnumMap& map = sgb::getEnumMap();
    for (const auto& c : cases)
        EXPECT_EQ(sgb::lookupEnumValue(map, c.cls, c.keyword), c.value)
            << c.cls << "." << c.keyword;
}

TEST(EnumMapTest, UnknownClassThrowsNamingIt) {
    const struct {
        const char* cls;
        const char* message;
    } cases[] = {
        {"NoSuchEnum", "No enum 'NoSuchEnum' found in map!"},
        {"scale", "No enum 'scale' found in map!"},
        {"", "No enum '' found in map!"},
    };
    for (const auto& c : cases) {
        try {
            sgb::lookupEnumValue(sgb::getEnumMap(), c.cls, "x");
            ADD_FAILURE() << "no exception for " << c.cls;
        } catch (const util::RuntimeErrorST& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(EnumMapTest, AddEnumValueCreatesClassesAndOverwrites) {
    sgb::EnumMap map;
    sgb::addEnumValue(map, "Mine", "a", 0);
    sgb::addEnumValue(map, "Mine", "b", 1);
    sgb::addEnumValue(map, "Mine", "a", 7);
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map.at("Mine").size(), 2u);
    EXPECT_EQ(sgb::lookupEnumValue(map, "Mine", "a"), 7);
    EXPECT_EQ(sgb::lookupEnumValue(map, "Mine", "b"), 1);
    EXPECT_THROW(sgb::lookupEnumValue(map, "AreaSelector", "all"), util::RuntimeErrorST);
}

} // namespace
