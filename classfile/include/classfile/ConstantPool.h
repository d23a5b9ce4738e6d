#pragma once

#include "classfile/PoolEntries.h"
#include "classfile/RecordArena.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace classfile {

class ClassInfo;
struct ReadContext;

/// The constant pool of one class file: one slot per index of the header's
/// count, slot 0 and the slot after an 8-byte constant left empty. Every index
/// a record follows goes through the accessors here, which never reach
/// outside the pool or into an empty slot. The pool and its entries live in
/// the class's arena.
class ConstantPool {
public:
    /// Reads `count` - 1 slots' worth of entries; the owner is the context's.
    ConstantPool(ReadContext& context, uint32_t count);
    ConstantPool(const ConstantPool&) = delete;
    ConstantPool& operator=(const ConstantPool&) = delete;

    /// Number of slots (the header's constant_pool_count).
    size_t size() const { return entries.size(); }
    /// True when `i` names a slot of this pool (which may still be empty).
    bool contains(size_t i) const { return i < entries.size(); }
    /// The entry of slot `i`; null for an empty slot or an index outside the pool.
    const ConstantPoolEntry* find(size_t i) const {
        return i < entries.size() ? entries[i] : nullptr;
    }
    /// The entry of slot `i`; throws std::runtime_error naming the index when
    /// it lies outside the pool or the slot is empty.
    const ConstantPoolEntry& at(size_t i) const;
    /// The entry of slot `i` as a `T`; throws std::runtime_error naming the
    /// index and what was found when it is missing or of another kind.
    template <typename T>
    const T& as(size_t i) const {
        const ConstantPoolEntry& e = at(i);
        if (const T* typed = e.as<T>())
            return *typed;
        failKind(i, e, T::TAG);
    }
    /// toString of slot `i`, through at(). Chains of references of any length
    /// are followed; a pool whose entries refer to each other in a cycle, or
    /// whose text would grow past three times all the pool's texts, fails
    /// with std::runtime_error naming slot `i`.
    std::string text(size_t i) const;
    /// The text of slot `i` without a copy when the slot holds a UTF-8 entry
    /// (a view of the pool's own text); otherwise text(i), kept in `scratch`
    /// and viewed there. Throws like text().
    std::string_view textView(size_t i, std::string& scratch) const {
        if (const CPEUtf8* utf8 = utf8At(i))
            return utf8->value;
        scratch = text(i);
        return scratch;
    }
    /// The UTF-8 entry of slot `i`, or null when the slot holds another kind,
    /// is empty or lies outside the pool.
    const CPEUtf8* utf8At(size_t i) const {
        const ConstantPoolEntry* entry = find(i);
        // The reader creates the entry class that its tag names.
        return entry && entry->tag == TAG_UTF8 ? static_cast<const CPEUtf8*>(entry) : nullptr;
    }

    const ClassInfo* owner;
    /// One entry per slot, null for an empty one; the entries are the arena's.
    RecordList<const ConstantPoolEntry*> entries;
    /// The header's this_class index, stored by ClassInfo once the pool is read.
    int32_t thisClassIndex = 0;

private:
    [[noreturn]] void failKind(size_t i, const ConstantPoolEntry& found, PoolTag wanted) const;

    /// Bytes of all texts in the pool; every other entry counts as 24.
    size_t mTextBytes = 0;
};

/// Name of a pool tag for messages ("Utf8", "Class", ...; "tag N" otherwise).
const char* tagName(unsigned tag);

} // namespace classfile
