#include "util/Text.h"

#include <gtest/gtest.h>

#include <string>

// The buffer copy is exercised through toXML, with guard bytes, in the XML
// buffer tests.

namespace {

TEST(FromUTF8, DecodesValidAndDropsInvalidSequences) {
    const struct {
        const char* what;
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"one to four bytes", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         L"a\u00E9\u20AC" + std::wstring(1, wchar_t(0x1F600))},
        {"lead cut by non-continuation drops both", "\x41\xC3\x42", L"A"},
        {"bytes that never start a sequence", "\x80\xC0\x80\xC1\xBF\xF5\xFF\x43", L"C"},
        {"truncated at end", "D\xE2\x82", L"D"},
        {"overlong forms", "\xE0\x80\xAF\x45\xF0\x8F\xBF\xBF\x46", L"EF"},
        {"surrogate and above U+10FFFF", "\xED\xA0\x80\x47\xF4\x90\x80\x80\x48", L"GH"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(util::fromUTF8(c.utf8), c.wide) << c.what;
}

TEST(ToUTF8, RoundTripsDropsInvalidCodePointsAndNarrowFormsStopAtZero) {
    for (uint32_t cp : {0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        const std::wstring w(1, static_cast<wchar_t>(cp));
        EXPECT_EQ(util::fromUTF8(util::toUTF8(w)), w) << std::hex << cp;
    }
    // Lone surrogates and values beyond Unicode are not characters.
    const wchar_t bad[] = {L'x', wchar_t(0xD800), wchar_t(0xDFFF), wchar_t(0x110000), L'y', 0};
    EXPECT_EQ(util::toUTF8(bad), "xy");
    // The narrow and wide forms stop at the first zero character.
    EXPECT_EQ(util::toNarrowACP(std::wstring(L"ab\0cd", 5)), "ab");
    EXPECT_EQ(util::toWideACP(std::string("ab\0cd", 5)), L"ab");
}

} // namespace
