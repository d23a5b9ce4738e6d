#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ClassInfo.h"
#include "classfile/FieldInfo.h"
#include "classfile/MethodInfo.h"
#include "classfile/ReadContext.h"

namespace classfile {

bool MemberInfo::read(ReadContext& context) {
    ByteReader& in = context.in;
    access_flags = in.u2();
    name_index = in.u2();
    descriptor_index = in.u2();
    attributes_count = in.u2();
    attributes = readAttributes(context, attributes_count);
    bool constantValue = false;
    for (const Attribute* attribute : attributes) {
        constantValue |= attribute->kind == AttributeKind::ConstantValue;
        isSynthetic |= attribute->kind == AttributeKind::Synthetic;
        isDeprecated |= attribute->kind == AttributeKind::Deprecated;
    }
    return constantValue;
}

FieldInfo::FieldInfo(ReadContext& context, uint32_t position)
    : MemberInfo(position, context.owner) {
    hasConstantValue = read(context);
}

MethodInfo::MethodInfo(ReadContext& context, uint32_t position)
    : MemberInfo(position, context.owner) {
    read(context);
    // Looked up once here: the translation asks for it several times.
    mCode = findAttribute<AttributeCode>(attributes);
}

} // namespace classfile
