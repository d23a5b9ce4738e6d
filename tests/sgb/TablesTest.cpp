// The translation's fixed tables and pure helpers: built-in operations, enum
// keywords, descriptor type codes, version texts and the constant entry writer.
#include "sgb/Builtins.h"
#include "sgb/CPEntry.h"
#include "sgb/CompilerVersion.h"
#include "sgb/Descriptor.h"
#include "sgb/EntryWriter.h"
#include "sgb/EnumMap.h"

#include "util/RuntimeErrorST.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// 64-bit FNV-1a, continued from `hash`: the checksum with which the tables
// are compared with the published ones.
uint64_t fnv1a(const std::string& text, uint64_t hash = 0xcbf29ce484222325ULL) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

TEST(BuiltinsTest, TableMatchesThePublishedRowsAndEveryRowIsFoundUnderItsId) {
    // FNV-1a over "name\tdescriptor\n" of every row in id order, computed from
    // the published table of built-in operations, not from this program's.
    ASSERT_EQ(sgb::builtinCount(), 340u);
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (size_t id = 0; id < sgb::builtinCount(); ++id) {
        const sgb::BuiltinRow& row = sgb::builtinRow(id);
        hash = fnv1a(std::string(row.name) + "\t" + row.descriptor + "\n", hash);
        EXPECT_EQ(sgb::lookupBuiltin(std::string(row.name) + row.descriptor), int32_t(id));
    }
    EXPECT_EQ(hash, 0x691b9968be904428ULL);
    EXPECT_EQ(sgb::lookupBuiltin("abs(DD)D"), -1);         // known name, other descriptor
    EXPECT_EQ(sgb::lookupBuiltin("_$createShape()V"), -1); // left to the translator
}

TEST(EnumMapTest, TableMatchesThePublishedRowsAndTheMapHoldsEachRow) {
    // FNV-1a over "class\tkeyword\tvalue\n" of every keyword, classes and
    // keywords in the order of the published enum keyword table, computed
    // from that table.
    const sgb::EnumMap& map = sgb::getEnumMap();
    ASSERT_EQ(sgb::enumClassCount(), 54u);
    EXPECT_EQ(map.size(), 54u);
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (size_t c = 0; c < sgb::enumClassCount(); ++c) {
        const sgb::EnumClassRow& row = sgb::enumClassRow(c);
        EXPECT_EQ(map.at(row.name).size(), row.count) << row.name;
        for (size_t k = 0; k < row.count; ++k) {
            hash = fnv1a(std::string(row.name) + "\t" + row.keywords[k] + "\t" + std::to_string(k) +
                             "\n",
                         hash);
            EXPECT_EQ(map.at(row.name).at(row.keywords[k]), int32_t(k));
        }
    }
    EXPECT_EQ(hash, 0xb180b44838669dc4ULL);
    // Class names are matched exactly; a known class's keywords, and -1 for
    // one it lacks, show in the translated enum constants.
    EXPECT_THROW(sgb::lookupEnumValue(map, "scale", "ABS"), util::RuntimeErrorST);
}

// Every descriptor through each decoding: as a field type, as a method's
// return and parameter types, and as a local variable's type.
TEST(DescriptorTest, TypeCodes) {
    const struct {
        const char* descriptor;
        uint32_t field, result;
        std::vector<uint32_t> parameters;
        int32_t local;
    } cases[] = {
        {"V", 0, 5, {}, -1},
        {"Z", 1, 5, {}, 0},
        {"D", 2, 5, {}, 1},
        {"Ljava/lang/String;", 3, 5, {}, 2},
        {"J", 5, 5, {}, -1},
        {"()V", 5, 0, {}, -1},
        {"(DZLjava/lang/String;I)Z", 5, 1, {2, 1, 3, 4}, -1},
        {"([[DJ[Ljava/lang/String;)D", 5, 2, {5, 5, 5}, -1}, // an array is one parameter
        {"(D", 5, 5, {2}, -1},                               // no ")"
        {"(Ljava/lang", 5, 5, {}, -1},                       // cut inside a class name
        {"D)V", 5, 0, {}, -1},                               // no "("
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor);
        EXPECT_EQ(sgb::typeCode(c.descriptor), c.field);
        EXPECT_EQ(sgb::returnTypeCode(c.descriptor), c.result);
        const auto codes = sgb::parameterTypeCodes(c.descriptor);
        EXPECT_EQ(std::vector<uint32_t>(codes.begin(), codes.end()), c.parameters);
        EXPECT_EQ(sgb::localTypeCode(c.descriptor), c.local);
    }
}

TEST(CompilerVersionTest, ParseReadsLikeTheScanfFormat) {
    const struct {
        const wchar_t* text;
        const char* version;
    } cases[] = {
        {L" 1. 7", "1.7"},
        {L"x.3", "0.0"},
        {L"+2.+4", "2.4"},
        {L"1,10", "1.0"},
        {L"99999999999.1", "2147483647.1"},
        {L"1.-99999999999", "1.-2147483648"},
    };
    for (const auto& c : cases) {
        const sgb::CompilerVersion v = sgb::parseVersion(c.text);
        EXPECT_EQ(std::to_string(v.major) + "." + std::to_string(v.minor), c.version) << c.text;
    }
}

TEST(EntryWriterTest, StoringAnIndexTwiceIsRefused) {
    zulx::RuleData record;
    sgb::EntryWriter writer(record);
    writer.putInteger(2, 7);
    EXPECT_THROW(writer.putString(2, L"again"), std::logic_error);
    EXPECT_EQ(*static_cast<const int32_t*>(record.constants.at(2)->payload), 7);
}

} // namespace
