// Every example rule file and test class file, cut at every length and
// damaged at random (fixed seed), is read (from a seekable stream and from a
// pipe, which must agree), dumped and decoded as the host decodes: each
// variant ends in a result or a documented exception, never in a crash or a
// hang, and within a memory budget proportional to its size.
#include "Inputs.h"

#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

namespace reliability {
namespace {

constexpr int kMutationsPerFile = 1500;

/// One random damage of `bytes`: a byte replaced or flipped, a 2- or 4-byte
/// field set to an extreme value, bytes inserted, removed or repeated.
std::string mutate(std::string out, std::mt19937& random) {
    if (out.empty())
        return std::string(1, static_cast<char>(random()));
    const size_t at = random() % out.size();
    const auto kind = random() % 6;
    if (kind == 0) {
        out[at] = static_cast<char>(random());
    } else if (kind == 1) {
        out[at] = static_cast<char>(static_cast<unsigned char>(out[at]) ^ (1u << (random() % 8)));
    } else if (kind == 2) {
        // A count or a length set to an extreme value.
        static const uint32_t kExtremes[] = {0,      1,      0x7F,       0x80,       0xFF,
                                             0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        const uint32_t value = kExtremes[random() % (sizeof kExtremes / sizeof kExtremes[0])];
        const size_t width = (random() & 1) ? 2 : 4;
        for (size_t i = 0; i < width && at + i < out.size(); ++i)
            out[at + i] = static_cast<char>(value >> (8 * (width - 1 - i)));
    } else if (kind == 3) {
        const size_t count = 1 + random() % 4;
        out.insert(at, count, static_cast<char>(random()));
    } else if (kind == 4) {
        out.erase(at, 1 + random() % 4);
    } else {
        // A piece repeated: records that seem to go on.
        const size_t length = std::min<size_t>(1 + random() % 16, out.size() - at);
        out.insert(at, out.substr(at, length));
    }
    return out;
}

class MalformedInput : public ::testing::TestWithParam<size_t> {
protected:
    static void SetUpTestSuite() {
        fuzz::prepareProcess();
        // The tables built on first use are not the variants' cost.
        const std::string& first = wellFormedInputs().front().bytes;
        fuzz::runDecode(reinterpret_cast<const uint8_t*>(first.data()), first.size());
    }

    const Input& input() const { return wellFormedInputs()[GetParam()]; }

    /// Reads, dumps and decodes `bytes`; `read` tells whether the reader
    /// accepted them. Returns whether decoding accepted them.
    bool runAll(const std::string& bytes, const std::string& what, bool& read) {
        // A variant that takes this long hangs: SIGALRM ends the test.
        ::alarm(60);
        read = runWithinBudget(fuzz::runClassFile, bytes, input().name + ", " + what);
        readError = fuzz::lastError();
        fuzz::runDump(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        const bool decoded = runWithinBudget(fuzz::runDecode, bytes, input().name + ", " + what);
        ::alarm(0);
        return decoded;
    }

    std::string readError;
};

TEST_P(MalformedInput, TheIntactFileIsRead) {
    bool read = false;
    if (!runAll(input().bytes, "intact", read)) {
        EXPECT_EQ(fuzz::lastError().find("unexpected end of input"), std::string::npos);
    }
    EXPECT_TRUE(read) << readError;
}

TEST_P(MalformedInput, EveryTruncationIsRejected) {
    const std::string& bytes = input().bytes;
    for (size_t length = 0; length < bytes.size() && !HasFailure(); ++length) {
        bool read = true;
        // The files end with their last attribute: any cut loses part of it.
        EXPECT_FALSE(runAll(bytes.substr(0, length), "cut at " + std::to_string(length), read));
        EXPECT_FALSE(read);
        // Where a pool tag is due, the end of input reads as the unknown tag 255.
        EXPECT_TRUE(readError.rfind("unexpected end of input at offset ", 0) == 0 ||
                    readError == "Unknown tag")
            << "cut at " << length << ": " << readError;
    }
}

TEST_P(MalformedInput, RandomDamageIsDecodedOrRejected) {
    bool read = false;
    const bool intactDecodes = runAll(input().bytes, "intact", read);
    std::mt19937 random(0x5EED0000u + static_cast<uint32_t>(GetParam()));
    int accepted = 0;
    for (int i = 0; i < kMutationsPerFile && !HasFailure(); ++i) {
        std::string bytes = mutate(input().bytes, random);
        for (auto more = random() % 3; more > 0; --more)
            bytes = mutate(bytes, random);
        accepted += runAll(bytes, "mutation " + std::to_string(i), read) ? 1 : 0;
    }
    // Both outcomes occur, or the damage does not reach what matters. (A
    // class file that is no rule file stays unacceptable however damaged.)
    EXPECT_GT(accepted, intactDecodes ? 0 : -1);
    EXPECT_LT(accepted, kMutationsPerFile);
}

std::string testName(const ::testing::TestParamInfo<size_t>& info) {
    std::string name;
    for (const char c : wellFormedInputs()[info.param].name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedInput,
                         ::testing::Range<size_t>(0, wellFormedInputs().size()), testName);

} // namespace
} // namespace reliability
