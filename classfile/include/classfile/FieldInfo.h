#pragma once

#include "classfile/MemberInfo.h"

namespace classfile {

/// One field of a class with its attributes.
class FieldInfo : public MemberInfo {
public:
    /// Reads the record at position `index` of the owner's field list.
    FieldInfo(ByteReader& in, uint32_t index, const ClassInfo& owner);
    ~FieldInfo() override;

    bool hasConstantValue = false;
};

} // namespace classfile
