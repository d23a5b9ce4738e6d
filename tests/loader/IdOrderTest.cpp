// Registry order: ids compare by UTF-16 code units, whatever the width of wchar_t.
#include "loader/FactoryMap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

/// Where wchar_t is 16 bits, a character outside the Basic Multilingual Plane
/// is written as its surrogate pair already.
std::wstring character(uint32_t codePoint) {
    if (sizeof(wchar_t) == 2 && codePoint > 0xFFFF) {
        const uint32_t v = codePoint - 0x10000;
        return {static_cast<wchar_t>(0xD800 + (v >> 10)),
                static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
    }
    return std::wstring(1, static_cast<wchar_t>(codePoint));
}

std::wstring units(uint32_t first, uint32_t second) {
    return character(first) + character(second);
}

TEST(IdLess, OrdersByUtf16CodeUnits) {
    const std::wstring supplementary = character(0x1F600); // D83D DE00 in UTF-16
    struct Case {
        const char* name;
        std::wstring smaller;
        std::wstring larger;
    };
    const Case cases[] = {
        {"after a common prefix", L"id" + supplementary, L"id" + character(0xFF01)},
        // A lone surrogate compares by its own value with the surrogates of a
        // paired character, and by what follows after that.
        {"lone surrogate, then a larger unit", character(0x10000), units(0xD800, 0xE000)},
        {"lone surrogate, then a smaller unit", units(0xD800, 0x41), character(0x10000)},
        // Nothing follows the low surrogate of a paired character.
        {"paired character before its lone units and more", supplementary,
         units(0xD83D, 0xDE00) + L"\x01"},
    };
    const loader::IdLess less;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(less(c.smaller, c.larger));
        EXPECT_FALSE(less(c.larger, c.smaller));
        EXPECT_FALSE(less(c.smaller, c.smaller));
    }
    // Where wchar_t holds UTF-32, a lone pair of surrogates has the same code
    // units as the character they encode, yet is another id, in a fixed order.
    const std::wstring loneUnits = units(0xD800, 0xDC00);
    if (sizeof(wchar_t) == 4) {
        EXPECT_NE(less(character(0x10000), loneUnits), less(loneUnits, character(0x10000)));
    }
}

} // namespace
