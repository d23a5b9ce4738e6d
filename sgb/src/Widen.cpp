#include "Widen.h"

#include "ExpansionBudget.h"

#include "util/Text.h"

namespace sgb {

std::wstring widen(std::string_view text, ExpansionBudget* budget) {
    if (budget)
        budget->charge(text.size() * sizeof(wchar_t));
    // Plain ASCII up to the end or the first zero byte converts char by char;
    // anything else takes the full conversion.
    size_t end = 0;
    while (end < text.size() && text[end] != '\0') {
        if (static_cast<unsigned char>(text[end]) >= 0x80)
            return util::toWideACP(std::string(text));
        ++end;
    }
    return std::wstring(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end));
}

} // namespace sgb
