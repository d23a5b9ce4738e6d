#pragma once

#include "classfile/MemberInfo.h"

namespace classfile {

class AttributeCode;

/// One method of a class with its attributes (its bytecode is the Code attribute).
class MethodInfo final : public MemberInfo {
public:
    /// Reads the record at position `index` of the context owner's method list.
    MethodInfo(ReadContext& context, uint32_t index);

    /// The first Code attribute, or null (abstract and native methods).
    const AttributeCode* code() const { return mCode; }

private:
    const AttributeCode* mCode = nullptr;
};

} // namespace classfile
