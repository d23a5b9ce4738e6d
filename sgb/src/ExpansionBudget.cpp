#include "ExpansionBudget.h"

#include <stdexcept>
#include <string>

namespace sgb {
namespace {

// The translation's helpers are free functions several calls deep; a pointer
// per thread reaches them without a budget argument in every signature, and
// keeps parallel translations apart.
thread_local ExpansionBudget* tActive = nullptr;

} // namespace

ExpansionBudget::ExpansionBudget(uint64_t inputBytes)
    : mInputBytes(inputBytes), mLimit(kAllowance + kPerInputByte * inputBytes), mOuter(tActive) {
    tActive = this;
}

ExpansionBudget::~ExpansionBudget() {
    tActive = mOuter;
}

void ExpansionBudget::charge(uint64_t bytes) {
    ExpansionBudget* budget = tActive;
    if (!budget)
        return;
    budget->mSpent += bytes;
    if (budget->mSpent > budget->mLimit)
        throw std::runtime_error("SGB file expands beyond the translation limit of " +
                                 std::to_string(budget->mLimit) + " bytes (" +
                                 std::to_string(kAllowance >> 20) + " MiB and " +
                                 std::to_string(kPerInputByte) + " per byte of its " +
                                 std::to_string(budget->mInputBytes) +
                                 "): it refers to large texts or code from too many places");
}

} // namespace sgb
