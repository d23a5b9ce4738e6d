#include "util/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

TEST(FromUTF8, DecodesValidAndDropsInvalidSequences) {
    const struct {
        const char* what;
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"ascii", "abc", L"abc"},
        {"two-byte", bytes({0xC3, 0xA9}), L"\u00E9"},
        {"three-byte", bytes({0xE2, 0x82, 0xAC}), L"\u20AC"},
        {"four-byte", bytes({0xF0, 0x9F, 0x98, 0x80}), std::wstring(1, wchar_t(0x1F600))},
        {"lead cut by non-continuation drops both", bytes({0x41, 0xC3, 0x42}), L"A"},
        {"stray continuation", bytes({0x80, 0x41}), L"A"},
        {"C0 and C1 never start a sequence", bytes({0xC0, 0x80, 0xC1, 0xBF, 0x42}), L"B"},
        {"F5..FF never start a sequence", bytes({0xF5, 0xFF, 0x43}), L"C"},
        {"truncated at end", bytes({0x44, 0xE2, 0x82}), L"D"},
        {"overlong three-byte", bytes({0xE0, 0x80, 0xAF, 0x45}), L"E"},
        {"overlong four-byte", bytes({0xF0, 0x8F, 0xBF, 0xBF, 0x46}), L"F"},
        {"surrogate code point", bytes({0xED, 0xA0, 0x80, 0x47}), L"G"},
        {"above U+10FFFF", bytes({0xF4, 0x90, 0x80, 0x80, 0x48}), L"H"},
        {"largest code point", bytes({0xF4, 0x8F, 0xBF, 0xBF}), std::wstring(1, wchar_t(0x10FFFF))},
        {"embedded zero is kept", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(util::fromUTF8(c.utf8), c.wide) << c.what;
}

TEST(ToUTF8, RoundTripsEveryLengthAndDropsInvalidCodePoints) {
    for (uint32_t cp :
         {0x1u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        const std::wstring w(1, static_cast<wchar_t>(cp));
        EXPECT_EQ(util::fromUTF8(util::toUTF8(w)), w) << std::hex << cp;
    }
    EXPECT_EQ(util::toUTF8(L"a\u00E9\u20AC"), bytes({'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    // Lone surrogates and values beyond Unicode are not characters.
    const wchar_t bad[] = {L'x', wchar_t(0xD800), wchar_t(0xDFFF), wchar_t(0x110000), L'y', 0};
    EXPECT_EQ(util::toUTF8(bad), "xy");
}

TEST(NarrowACP, StopsAtFirstZeroCharacter) {
    EXPECT_EQ(util::toNarrowACP(std::wstring(L"ab\0cd", 5)), "ab");
    EXPECT_EQ(util::toWideACP(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(util::toNarrowACP(L"\u00FCber"), bytes({0xC3, 0xBC, 'b', 'e', 'r'}));
    EXPECT_EQ(util::toWideACP(bytes({0xC3, 0xBC, 0xFF})), L"\u00FC");
}

TEST(ToHexByte, TwoUpperCaseDigits) {
    EXPECT_EQ(util::toHexByte(0x0A), "0A");
    EXPECT_EQ(util::toHexByte(255), "FF");
    EXPECT_EQ(util::toHexByte(0xB7), "B7");
}

TEST(CopyToBuffer, CutsTerminatesZeroFillsAndReportsTheNeededSize) {
    const struct {
        size_t capacity;
        std::string written; // the first `capacity` bytes
        zul::Status status;
    } cases[] = {
        {0, "", zul::STATUS_BUFFER_TO_SMALL},
        {1, std::string(1, '\0'), zul::STATUS_BUFFER_TO_SMALL},
        {2, std::string("a\0", 2), zul::STATUS_BUFFER_TO_SMALL},
        {3, std::string("ab\0", 3), zul::STATUS_BUFFER_TO_SMALL},
        {4, std::string("abc\0", 4), zul::STATUS_OK},
        {7, std::string("abc\0\0\0\0", 7), zul::STATUS_OK},
    };
    for (const auto& c : cases) {
        // Guard bytes after the capacity show a write past it.
        std::string buffer(c.capacity + 2, '#');
        size_t size = c.capacity;
        zul::Status status = zul::STATUS_UNSPECIFIED_ERROR;
        util::copyToBuffer("abc", &buffer[0], &size, &status);
        EXPECT_EQ(size, 4u) << c.capacity;
        EXPECT_EQ(status, c.status) << c.capacity;
        EXPECT_EQ(buffer, c.written + "##") << c.capacity;
    }
    size_t size = 0;
    util::copyToBuffer("", nullptr, &size, nullptr); // only the size, no status pointer
    EXPECT_EQ(size, 1u);
}

} // namespace
