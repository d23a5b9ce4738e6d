#pragma once

#include "classfile/MemberInfo.h"

namespace classfile {

class AttributeCode;

/// One method of a class with its attributes (its bytecode is the Code attribute).
class MethodInfo : public MemberInfo {
public:
    /// Reads the record at position `index` of the owner's method list.
    MethodInfo(ByteReader& in, uint32_t index, const ClassInfo& owner);
    ~MethodInfo() override;

    /// The first Code attribute, or null (abstract and native methods).
    const AttributeCode* code() const;
};

} // namespace classfile
