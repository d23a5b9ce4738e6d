#pragma once

#include <string>
#include <string_view>

namespace sgb {

class ExpansionBudget;

/// Narrow pool text to wide text, with the loader's conversion (which stops
/// at the first zero byte); plain ASCII, the usual case, takes a short cut.
/// The wide text is charged to `budget` when there is one.
std::wstring widen(std::string_view text, ExpansionBudget* budget);

} // namespace sgb
