#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace sgb {

/// Keyword to value within one enum class of the rule language.
using EnumKeywords = std::unordered_map<std::string, int32_t>;
/// Enum class name to its keywords: the enum keyword table.
using EnumMap = std::unordered_map<std::string, EnumKeywords>;

/// One class of the built-in enum keyword table, as written in the program;
/// a keyword's value is its position in `keywords`.
struct EnumClassRow {
    const char* name;
    const char* const* keywords;
    size_t count;
};

/// Number of classes in the built-in enum keyword table.
size_t enumClassCount();

/// Class row `i` of the built-in table; `i` must be below enumClassCount().
const EnumClassRow& enumClassRow(size_t i);

/// The process-wide enum keyword table. The first call builds it; calls from
/// other threads during the build wait until it is complete, while a call
/// from the building thread itself returns the table as filled so far.
const EnumMap& getEnumMap();

/// The value of `keyword` in `enumClass`, or -1 when the class lacks the
/// keyword. Throws util::RuntimeErrorST "No enum '<class>' found in map!"
/// when the table has no such class.
int32_t lookupEnumValue(const EnumMap& map, const std::string& enumClass,
                        const std::string& keyword);

/// Sets `keyword` of `enumClass` to `value`, creating the class when missing
/// and overwriting an existing value.
void addEnumValue(EnumMap& map, const std::string& enumClass, const std::string& keyword,
                  int32_t value);

} // namespace sgb
