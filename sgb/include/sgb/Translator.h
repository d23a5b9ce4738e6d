#pragma once

#include "zulx/SGB.h"

#include <iosfwd>

namespace sgb {

/// Reads one compiled rule file from `stream` and fills `record`. Throws what
/// the class-file reader throws and util::RuntimeErrorST for an unknown enum
/// class; problems inside the rule file become errors and warnings.
void translate(zulx::RuleData& record, std::istream& stream);

} // namespace sgb
