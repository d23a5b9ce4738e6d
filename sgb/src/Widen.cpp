#include "Widen.h"

#include "ExpansionBudget.h"

#include "util/Text.h"

#include <algorithm>

namespace sgb {
namespace {

// The length of `text` up to its first zero byte, and whether that part is
// plain ASCII. The loop has no early exit so that it runs over whole words.
size_t asciiPrefix(std::string_view text, bool& ascii) {
    const size_t end = std::min(text.find('\0'), text.size());
    unsigned char bits = 0;
    for (size_t i = 0; i < end; ++i)
        bits |= static_cast<unsigned char>(text[i]);
    ascii = bits < 0x80;
    return end;
}

} // namespace

std::wstring widen(std::string_view text, ExpansionBudget* budget) {
    if (budget)
        budget->charge(text.size() * sizeof(wchar_t));
    bool ascii = false;
    const size_t end = asciiPrefix(text, ascii);
    if (!ascii)
        return util::toWideACP(std::string(text));
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    return std::wstring(bytes, bytes + end);
}

void widenAppend(std::wstring& out, std::string_view text, ExpansionBudget* budget) {
    if (budget)
        budget->charge(text.size() * sizeof(wchar_t));
    bool ascii = false;
    const size_t end = asciiPrefix(text, ascii);
    if (!ascii) {
        out += util::toWideACP(std::string(text));
        return;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    out.append(bytes, bytes + end);
}

} // namespace sgb
