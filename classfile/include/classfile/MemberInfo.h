#pragma once

#include "classfile/Attribute.h"

#include <cstdint>

namespace classfile {

class ClassInfo;
struct ReadContext;

/// What fields and methods share: position, flags, name and descriptor
/// indices and the attribute list. Members live in their class's arena and go
/// with it.
class MemberInfo {
public:
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
    MemberInfo(uint32_t position, const ClassInfo* classInfo) : index(position), owner(classInfo) {}
    ~MemberInfo() = default;
    /// Reads the record; returns whether a ConstantValue attribute was among them.
    bool read(ReadContext& context);
};

} // namespace classfile
