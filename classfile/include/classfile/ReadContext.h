#pragma once

#include "classfile/ByteReader.h"
#include "classfile/RecordArena.h"

#include <cstdint>

namespace classfile {

class ClassInfo;
class ConstantPool;

/// What every reader of one class file's records works with: the input, the
/// arena the records are made in, and the pool and class they refer back to
/// (set once the pool is read). One context serves one class; the records it
/// makes live as long as its arena.
struct ReadContext {
    ReadContext(ByteReader& input, RecordArena& records, const ConstantPool* constantPool = nullptr,
                const ClassInfo* ownerClass = nullptr)
        : in(input), arena(records), pool(constantPool), owner(ownerClass) {}

    ByteReader& in;
    RecordArena& arena;
    const ConstantPool* pool;
    const ClassInfo* owner;
    /// One byte per pool slot, in the arena: which attribute layout the
    /// slot's name selects, 0 until first looked up; null to compare the name
    /// for every attribute.
    uint8_t* attributeLayouts = nullptr;
};

} // namespace classfile
