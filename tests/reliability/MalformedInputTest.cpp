// Every example rule file and test class file, cut at every length and
// damaged at random (fixed seed), decoded as the host decodes: each variant
// decodes or is rejected with a documented exception, within a time limit
// and within a memory budget proportional to its size.
#include "Inputs.h"
#include "Watchdog.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

namespace reliability {
namespace {

// Generous: the sanitizer build on a shared machine decodes a few kilobytes
// in milliseconds; only a hang or a runaway loop comes near this.
constexpr unsigned kSecondsPerDecode = 30;
constexpr int kMutationsPerFile = 3000;

class MalformedInputTest : public ::testing::TestWithParam<size_t> {
protected:
    const Input& input() const { return wellFormedInputs()[GetParam()]; }

    // Decodes one variant and checks what holds for every input.
    Decoded check(const std::string& bytes, const std::string& what, bool seekable) {
        watchdog.arm(input().name + ", " + what);
        const Decoded d = decode(bytes, seekable);
        EXPECT_LE(d.peakBytes, memoryBudget(bytes.size()))
            << input().name << ", " << what << ": " << bytes.size() << " bytes of input";
        if (!d.ok) {
            EXPECT_FALSE(d.error.empty()) << input().name << ", " << what;
        }
        return d;
    }

    Watchdog watchdog{kSecondsPerDecode};
};

TEST_P(MalformedInputTest, TheIntactFileIsReadInFull) {
    // Once first, so that the tables built on first use are not charged to
    // the variants; the intact file must not be mistaken for a damaged one.
    const Decoded d = check(input().bytes, "intact", true);
    if (!d.ok) {
        EXPECT_EQ(d.error.find("unexpected end of input"), std::string::npos) << d.error;
    }
}

TEST_P(MalformedInputTest, EveryTruncationIsRejected) {
    decode(input().bytes);
    const std::string& bytes = input().bytes;
    for (size_t length = 0; length < bytes.size(); ++length) {
        // Alternate the two reading paths: remaining input known or not.
        const Decoded d =
            check(bytes.substr(0, length), "cut at " + std::to_string(length), length % 2 == 0);
        // The files end with their last attribute: any cut loses part of it.
        EXPECT_FALSE(d.ok) << input().name << " cut at " << length << " was accepted";
        if (HasFailure())
            return; // one report per file is enough to start from
    }
}

TEST_P(MalformedInputTest, RandomDamageIsDecodedOrRejected) {
    const bool intactDecodes = decode(input().bytes).ok;
    std::mt19937 random(0x5EED0000u + static_cast<uint32_t>(GetParam()));
    int accepted = 0;
    for (int i = 0; i < kMutationsPerFile; ++i) {
        std::string bytes = input().bytes;
        const int damages = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < damages; ++k)
            bytes = mutate(bytes, random);
        accepted += check(bytes, "mutation " + std::to_string(i), i % 2 == 0).ok ? 1 : 0;
        if (HasFailure())
            return;
    }
    // Both outcomes occur, or the damage does not reach what matters. (A
    // class file that is no rule file stays unacceptable however damaged.)
    if (intactDecodes) {
        EXPECT_GT(accepted, 0);
    }
    EXPECT_LT(accepted, kMutationsPerFile);
}

std::string testName(const ::testing::TestParamInfo<size_t>& info) {
    std::string name;
    for (const char c : wellFormedInputs()[info.param].name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedInputTest,
                         ::testing::Range<size_t>(0, wellFormedInputs().size()), testName);

} // namespace
} // namespace reliability
