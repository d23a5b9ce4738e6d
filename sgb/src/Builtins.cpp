#include "sgb/Builtins.h"

#include "JoinedTextTable.h"

namespace sgb {
namespace {

const BuiltinRow kRows[] = {
#define ZUL_BUILTIN(name, descriptor) {name, descriptor},
#include "Builtins.def"
#undef ZUL_BUILTIN
};

// The first row of a name and descriptor wins, should the table repeat one.
JoinedTextTable buildTable() {
    JoinedTextTable table(std::size(kRows));
    for (size_t id = 0; id < std::size(kRows); ++id)
        table.insert(kRows[id].name, kRows[id].descriptor, id, true);
    return table;
}

// Function-local static: built exactly once, concurrent first callers wait.
const JoinedTextTable& builtinTable() {
    static const JoinedTextTable table = buildTable();
    return table;
}

} // namespace

size_t builtinCount() {
    return std::size(kRows);
}

const BuiltinRow& builtinRow(size_t id) {
    return kRows[id];
}

int32_t lookupBuiltin(std::string_view key) {
    const size_t* id = builtinTable().find(key);
    return id ? static_cast<int32_t>(*id) : -1;
}

} // namespace sgb
