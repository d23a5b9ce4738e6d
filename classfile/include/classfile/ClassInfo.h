#pragma once

#include "classfile/Annotation.h"
#include "classfile/Attribute.h"
#include "classfile/Attributes.h"
#include "classfile/ConstantPool.h"
#include "classfile/FieldInfo.h"
#include "classfile/MethodInfo.h"
#include "classfile/Pooled.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <vector>

namespace classfile {

class ByteReader;

/// A class file read in one pass: header, constant pool, fields, methods and
/// class attributes. Construction either reads the whole class or throws;
/// nothing is changed afterwards.
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
    std::unique_ptr<ConstantPool> constant_pool;
    uint32_t access_flags = 0;
    /// Pool slots named by the header; null for index 0 or an empty slot.
    const ConstantPoolEntry* this_class = nullptr;
    const ConstantPoolEntry* super_class = nullptr;
    std::vector<const ConstantPoolEntry*> interfaces;
    std::vector<std::unique_ptr<FieldInfo>> fields;
    std::vector<std::unique_ptr<MethodInfo>> methods;
    AttributeList attributes;
    bool isSynthetic = false;
    bool isDeprecated = false;
    /// Bytes read from the stream, from the magic number to the end of the
    /// last class attribute: what consumers measure their output against.
    uint64_t bytesRead = 0;

    /// The constant pool (always present once constructed).
    const ConstantPool& pool() const { return *constant_pool; }

private:
    void read(ByteReader& in);
    /// Destroys every record while the arena is active, before it goes.
    void releaseRecords();

    /// Holds the memory of all the class's records.
    RecordArena mArena;
};

} // namespace classfile
