#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sgb {

/// One row of the built-in operation table: an operation of the rule language
/// and the descriptor of one of its overloads. A row's position is its id.
struct BuiltinRow {
    const char* name;
    const char* descriptor;
};

/// Number of rows of the built-in operation table.
size_t builtinCount();

/// Row `id` of the table; `id` must be below builtinCount().
const BuiltinRow& builtinRow(size_t id);

/// The id of the built-in whose name followed directly by its descriptor is
/// `key` (for example "abs(D)D"), or -1 when there is none. The lookup table is
/// built on the first call, once, even when several threads call at once.
int32_t lookupBuiltin(std::string_view key);

} // namespace sgb
