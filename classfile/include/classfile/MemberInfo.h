#pragma once

#include "classfile/Attribute.h"
#include "classfile/Pooled.h"

#include <cstdint>

namespace classfile {

class ByteReader;
class ClassInfo;

/// What fields and methods share: position, flags, name and descriptor
/// indices and the attribute list.
class MemberInfo : public Pooled {
public:
    virtual ~MemberInfo();
    MemberInfo(const MemberInfo&) = delete;
    MemberInfo& operator=(const MemberInfo&) = delete;

    uint32_t index; ///< position in the class's list, from 0
    const ClassInfo* owner;
    uint32_t access_flags = 0;
    uint32_t name_index = 0;
    uint32_t descriptor_index = 0;
    uint32_t attributes_count = 0;
    AttributeList attributes;
    bool isSynthetic = false;
    bool isDeprecated = false;

protected:
    MemberInfo(uint32_t position, const ClassInfo& classInfo)
        : index(position), owner(&classInfo) {}
    /// Reads the record; returns whether a ConstantValue attribute was among them.
    bool read(ByteReader& in);
};

} // namespace classfile
