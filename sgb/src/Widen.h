#pragma once

// Reading names and texts out of the constant pool without copies where the
// pool already holds the text.

#include "classfile/ConstantPool.h"

#include <string>
#include <string_view>

namespace sgb {

/// The text of slot `index` when it is a UTF-8 entry, or null (also for an
/// empty slot or an index outside the pool).
inline const std::string* utf8At(const classfile::ConstantPool& pool, size_t index) {
    const classfile::ConstantPoolEntry* entry = pool.find(index);
    // The reader creates the entry class that its tag names.
    return entry && entry->tag == classfile::TAG_UTF8
               ? &static_cast<const classfile::CPEUtf8*>(entry)->value
               : nullptr;
}

/// The text of slot `index`: the UTF-8 entry's own text when it is one,
/// otherwise the entry's toString kept in `scratch`. Throws like
/// ConstantPool::text for an index outside the pool or an empty slot.
inline const std::string& textAt(const classfile::ConstantPool& pool, size_t index,
                                 std::string& scratch) {
    if (const std::string* text = utf8At(pool, index))
        return *text;
    scratch = pool.text(index);
    return scratch;
}

/// Narrow pool text to wide text, with the loader's conversion (which stops
/// at the first zero byte); plain ASCII, the usual case, takes a short cut.
std::wstring widen(std::string_view text);

} // namespace sgb
