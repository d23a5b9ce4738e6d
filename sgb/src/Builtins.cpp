#include "sgb/Builtins.h"

#include <unordered_map>

namespace sgb {
namespace {

const BuiltinRow kRows[] = {
#define ZUL_BUILTIN(name, descriptor) {name, descriptor},
#include "Builtins.def"
#undef ZUL_BUILTIN
};

using BuiltinMap = std::unordered_map<std::string, int32_t>;

BuiltinMap buildMap() {
    BuiltinMap map;
    map.reserve(std::size(kRows));
    int32_t id = 0;
    for (const BuiltinRow& row : kRows)
        map.emplace(std::string(row.name) + row.descriptor, id++);
    return map;
}

// Function-local static: built exactly once, concurrent first callers wait.
const BuiltinMap& builtinMap() {
    static const BuiltinMap map = buildMap();
    return map;
}

} // namespace

size_t builtinCount() {
    return std::size(kRows);
}

const BuiltinRow& builtinRow(size_t id) {
    return kRows[id];
}

int32_t lookupBuiltin(const std::string& key) {
    const BuiltinMap& map = builtinMap();
    const auto it = map.find(key);
    return it == map.end() ? -1 : it->second;
}

} // namespace sgb
