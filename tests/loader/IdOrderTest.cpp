// Registry order: ids compare by UTF-16 code units, whatever the width of wchar_t.
#include "TestSupport.h"

#include "zulx/ExtensionFactory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ::testing::ElementsAre;
using IdLess = loader::IdLess;

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

TEST(IdLess, OrdersByUtf16CodeUnits) {
    const std::wstring supplementary = character(0x1F600); // D83D DE00 in UTF-16
    struct Case {
        const char* name;
        std::wstring smaller;
        std::wstring larger;
    };
    const Case cases[] = {
        {"empty first", L"", L"a"},
        {"proper prefix first", L"abc", L"abcd"},
        {"plain letters", L"abc", L"abd"},
        {"supplementary below U+E000", supplementary, character(0xE000)},
        {"supplementary below U+FFFF", supplementary, character(0xFFFF)},
        {"supplementary above U+D7FF", character(0xD7FF), supplementary},
        {"later supplementary character", character(0x10000), character(0x10FFFF)},
        {"after a common prefix", L"id" + supplementary, L"id" + character(0xFF01)},
    };
    const IdLess less;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(less(c.smaller, c.larger));
        EXPECT_FALSE(less(c.larger, c.smaller));
        EXPECT_FALSE(less(c.smaller, c.smaller));
    }
}

// Lone surrogates in UTF-32 text compare by their own value against the
// surrogates of a paired character, and by what follows them after that.
TEST(IdLess, LoneSurrogatesCompareByTheUnitsThatFollow) {
    if (sizeof(wchar_t) == 2)
        GTEST_SKIP() << "wide texts are UTF-16 here";
    const std::wstring paired = character(0x10000); // D800 DC00
    const std::wstring loneThenHigh = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xE000)};
    const std::wstring loneThenLow = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x41)};
    const std::wstring sameUnits = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDC00)};
    const IdLess less;
    EXPECT_TRUE(less(paired, loneThenHigh));
    EXPECT_TRUE(less(loneThenLow, paired));
    // Same code units, different texts: still two distinct ids in a fixed order.
    EXPECT_NE(less(paired, sameUnits), less(sameUnits, paired));
}

TEST(IdLess, IsAStrictWeakOrderOverMixedIds) {
    std::vector<std::wstring> ids = {L"",
                                     L"a",
                                     character(0x1F600),
                                     character(0xE000),
                                     character(0xFFFF),
                                     L"a" + character(0x10000),
                                     L"a" + character(0xD7FF),
                                     {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xE000)},
                                     {static_cast<wchar_t>(0xD83D)}};
    const IdLess less;
    for (const auto& a : ids) {
        for (const auto& b : ids) {
            for (const auto& c : ids) {
                if (less(a, b) && less(b, c)) {
                    EXPECT_TRUE(less(a, c));
                }
            }
        }
    }
    std::sort(ids.begin(), ids.end(), less);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), less));
}

class NamedFactory : public zulx::DecoderFactory {
public:
    explicit NamedFactory(const std::wstring& id)
        : zulx::DecoderFactory(zul::CT_SHAPE, id, L"named", L"named", zulx::FileExtensions()) {}
    zulx::Extension* create() const override { return nullptr; }
};

TEST(IdLess, OrdersTheRegistryAndItsLists) {
    loader::ExtensionManagerImpl manager;
    for (const std::wstring& id : {character(0xFF21), character(0x1F600), std::wstring(L"z")})
        manager.addFactory(new NamedFactory(id));
    std::vector<std::wstring> ids;
    manager.listDecoderIds(ids);
    EXPECT_THAT(ids, ElementsAre(L"z", character(0x1F600), character(0xFF21)));
}

} // namespace
