#pragma once

// A bound on what one translation writes, measured against the size of the
// class file. A compiler writes each name, text and method once and refers to
// it from a few places; a hostile file can refer to one 64 KiB text or one
// long code array from thousands of 5-byte pool entries, and every reference
// would copy it anew. The translation charges each wide text it makes from
// pool text, each copy of a method's code and each parameter record; once the
// charges pass the budget it fails with std::runtime_error.

#include <cstdint>

namespace sgb {

class ExpansionBudget {
public:
    /// Output bytes allowed per input byte, and the allowance every file has.
    /// The example rule files spend less than one byte per input byte.
    static constexpr uint64_t kPerInputByte = 16;
    static constexpr uint64_t kAllowance = 256 * 1024;

    /// Makes this budget the one charged on the calling thread until it is
    /// destroyed; `inputBytes` is the size of the class file.
    explicit ExpansionBudget(uint64_t inputBytes);
    ~ExpansionBudget();
    ExpansionBudget(const ExpansionBudget&) = delete;
    ExpansionBudget& operator=(const ExpansionBudget&) = delete;

    /// Charges `bytes` to the calling thread's budget; nothing without one.
    static void charge(uint64_t bytes);

private:
    uint64_t mInputBytes;
    uint64_t mLimit;
    uint64_t mSpent = 0;
    ExpansionBudget* mOuter;
};

} // namespace sgb
