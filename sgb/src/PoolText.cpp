#include "PoolText.h"

#include "ExpansionBudget.h"

#include "util/Text.h"

namespace sgb {

std::wstring widen(const std::string& text) {
    ExpansionBudget::charge(text.size() * sizeof(wchar_t));
    std::wstring wide;
    wide.reserve(text.size());
    for (const char c : text) {
        if (c == '\0')
            return wide;
        if (static_cast<unsigned char>(c) >= 0x80)
            return util::toWideACP(text);
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

} // namespace sgb
