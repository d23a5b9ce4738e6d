#include "sgb/Builtins.h"

#include "Checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace {

// FNV-1a over "name\tdescriptor\n" of every row in id order, computed from the
// published table of built-in operations, not from this program's table.
constexpr uint64_t kExpectedChecksum = 0x691b9968be904428ULL;

std::string key(const sgb::BuiltinRow& row) {
    return std::string(row.name) + row.descriptor;
}

TEST(BuiltinsTest, TableMatchesThePublishedRows) {
    ASSERT_EQ(sgb::builtinCount(), 340u);
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (size_t id = 0; id < sgb::builtinCount(); ++id) {
        const sgb::BuiltinRow& row = sgb::builtinRow(id);
        hash = sgbtest::fnv1a(std::string(row.name) + "\t" + row.descriptor + "\n", hash);
    }
    EXPECT_EQ(hash, kExpectedChecksum);
    EXPECT_EQ(key(sgb::builtinRow(0)), "abs(D)D");
    EXPECT_EQ(key(sgb::builtinRow(1)), "acos(D)D");
    EXPECT_EQ(key(sgb::builtinRow(339)), "_$setStyleSelector(II)V");
}

TEST(BuiltinsTest, EveryRowIsFoundUnderItsOwnId) {
    for (size_t id = 0; id < sgb::builtinCount(); ++id)
        EXPECT_EQ(sgb::lookupBuiltin(key(sgb::builtinRow(id))), static_cast<int32_t>(id))
            << key(sgb::builtinRow(id));
}

TEST(BuiltinsTest, OverloadsAreConsecutiveAndInternalOperationsComeLast) {
    std::set<std::string> finished;
    std::string current;
    for (size_t id = 0; id < sgb::builtinCount(); ++id) {
        const std::string name = sgb::builtinRow(id).name;
        const bool internal = name.rfind("_$", 0) == 0;
        EXPECT_EQ(internal, id >= 302) << id << " " << name;
        if (name != current) {
            EXPECT_TRUE(finished.insert(name).second) << name << " is split at id " << id;
            current = name;
        }
    }
}

TEST(BuiltinsTest, LookupByNameAndDescriptor) {
    const struct {
        const char* key;
        int32_t id;
    } cases[] = {
        {"abs(D)D", 0},
        {"_$setStyleSelector(II)V", 339},
        {"_$getHandle(Ljava/lang/String;)D", 325},
        {"_$getHandle(DD)D", 328},
        {"print(Ljava/lang/String;)Ljava/lang/String;", 203},
        {"abs(DD)D", -1},          // known name, other descriptor
        {"_$createShape()V", -1},  // handled by the translator, not the table
        {"_$createShape(D)V", -1}, //
        {"abs", -1},               // name alone
        {"(D)D", -1},              // descriptor alone
        {"ABS(D)D", -1},           // case-sensitive
        {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sgb::lookupBuiltin(c.key), c.id) << c.key;
}

} // namespace
