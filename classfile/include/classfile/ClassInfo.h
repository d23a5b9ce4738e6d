#pragma once

#include "classfile/Annotation.h"
#include "classfile/Attribute.h"
#include "classfile/Attributes.h"
#include "classfile/ConstantPool.h"
#include "classfile/FieldInfo.h"
#include "classfile/MethodInfo.h"
#include "classfile/RecordArena.h"

#include <cstdint>
#include <istream>

namespace classfile {

struct ReadContext;

/// A class file read in one pass: header, constant pool, fields, methods and
/// class attributes. Construction either reads the whole class or throws;
/// nothing is changed afterwards. All the class's records live in its own
/// arena and go with it; the lists and pointers of records refer to them
/// without owning them, so no record can be taken out of the class.
///
/// Bad input fails with std::runtime_error (util::RuntimeErrorST for an
/// unknown pool tag, zulx::StatusException 31 for a class name index outside
/// the pool, std::length_error for a negative code or byte-string length).
class ClassInfo {
public:
    /// Reads the class from `in`, positioned at its first byte, and leaves the
    /// stream just after the last class attribute.
    explicit ClassInfo(std::istream& in);
    virtual ~ClassInfo();
    ClassInfo(const ClassInfo&) = delete;
    ClassInfo& operator=(const ClassInfo&) = delete;

    /// Always false: entry equality is a stub (each comparison with a class
    /// entry writes a line to the standard error stream).
    bool isInterfaceOf(const ConstantPoolEntry* entry) const;

    uint32_t magic = 0;
    uint16_t minor_version = 0;
    uint16_t major_version = 0;
    uint16_t constant_pool_count = 0;
    /// The pool, in the class's arena (always present once constructed).
    const ConstantPool* constant_pool = nullptr;
    uint32_t access_flags = 0;
    /// Pool slots named by the header; null for index 0 or an empty slot.
    const ConstantPoolEntry* this_class = nullptr;
    const ConstantPoolEntry* super_class = nullptr;
    RecordList<const ConstantPoolEntry*> interfaces;
    RecordList<const FieldInfo*> fields;
    RecordList<const MethodInfo*> methods;
    AttributeList attributes;
    bool isSynthetic = false;
    bool isDeprecated = false;
    /// Bytes read from the stream, from the magic number to the end of the
    /// last class attribute: what consumers measure their output against.
    uint64_t bytesRead = 0;

    /// The constant pool (always present once constructed).
    const ConstantPool& pool() const { return *constant_pool; }

    /// Bytes the class's records take from the general allocator.
    size_t recordBytes() const { return mArena.reserved(); }

private:
    void read(ReadContext& context);

    /// Holds the memory of all the class's records.
    RecordArena mArena;
};

} // namespace classfile
