#include "ExpansionBudget.h"

#include <stdexcept>
#include <string>

namespace sgb {

void ExpansionBudget::fail() const {
    throw std::runtime_error(
        "SGB file expands beyond the translation limit of " + std::to_string(mLimit) + " bytes (" +
        std::to_string(kAllowance >> 20) + " MiB and " + std::to_string(kPerInputByte) +
        " per byte of its " + std::to_string(mInputBytes) +
        "): it refers to large texts or code from too many places");
}

} // namespace sgb
