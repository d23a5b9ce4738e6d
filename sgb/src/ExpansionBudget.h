#pragma once

// A bound on what one translation writes, against files built to exhaust
// memory. A compiler writes each name, text and method once and refers to it
// from a few places; a hostile file can refer to one 64 KiB text or one long
// code array from thousands of 5-byte pool entries, and every reference would
// copy it anew, so that a file of 64 KiB would take gigabytes. The
// translation charges each wide text it makes from pool text, each copy of a
// method's code, each method index key and each parameter record; once the
// charges pass the limit it fails with std::runtime_error naming the limit.
// The limit lies far above what a rule file needs even when many entries
// share one long text (200 annotations sharing a 1,000-character text spend
// 0.8 MB), and grows with the file so that a large file that copies nothing
// needlessly always fits. Each translation has its own budget, which its
// steps are handed.

#include <cstdint>

namespace sgb {

class ExpansionBudget {
public:
    /// The allowance every file has, and the output bytes allowed on top of
    /// it per input byte. The example rule files spend less than one byte per
    /// input byte.
    static constexpr uint64_t kAllowance = uint64_t{256} << 20;
    static constexpr uint64_t kPerInputByte = 16;

    /// The budget of a class file of `inputBytes` bytes.
    explicit ExpansionBudget(uint64_t inputBytes)
        : mInputBytes(inputBytes), mLimit(kAllowance + kPerInputByte * inputBytes) {}
    ExpansionBudget(const ExpansionBudget&) = delete;
    ExpansionBudget& operator=(const ExpansionBudget&) = delete;

    /// Charges `bytes`; throws std::runtime_error once the charges pass the limit.
    void charge(uint64_t bytes) {
        mSpent += bytes;
        if (mSpent > mLimit)
            fail();
    }

private:
    [[noreturn]] void fail() const;

    uint64_t mInputBytes;
    uint64_t mLimit;
    uint64_t mSpent = 0;
};

} // namespace sgb
