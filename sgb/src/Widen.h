#pragma once

#include <string>
#include <string_view>

namespace sgb {

class ExpansionBudget;

/// Narrow pool text to wide text, with the loader's conversion (which stops
/// at the first zero byte); plain ASCII, the usual case, takes a short cut.
/// The wide text is charged to `budget` when there is one.
std::wstring widen(std::string_view text, ExpansionBudget* budget);

/// widen(text, budget) appended to `out`, for texts made of several parts
/// that should take one block of their final size.
void widenAppend(std::wstring& out, std::string_view text, ExpansionBudget* budget);

} // namespace sgb
