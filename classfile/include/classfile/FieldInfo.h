#pragma once

#include "classfile/MemberInfo.h"

namespace classfile {

/// One field of a class with its attributes.
class FieldInfo final : public MemberInfo {
public:
    /// Reads the record at position `index` of the context owner's field list.
    FieldInfo(ReadContext& context, uint32_t index);

    bool hasConstantValue = false;
};

} // namespace classfile
