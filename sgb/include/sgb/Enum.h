#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace SGB {

/// An enum constant of a compiled rule file as the rule interpreter sees it:
/// its keyword's value and its "Class.keyword" name. Always held through
/// std::shared_ptr<SGB::Enum> in a tag-7 constant entry.
class Enum {
public:
    Enum() = default;
    Enum(int32_t keywordValue, std::wstring keywordName)
        : value(keywordValue), name(std::move(keywordName)) {}

    int32_t value = 0;
    std::wstring name;
};

} // namespace SGB
