#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ClassInfo.h"
#include "classfile/FieldInfo.h"
#include "classfile/MethodInfo.h"

namespace classfile {

MemberInfo::~MemberInfo() = default;

bool MemberInfo::read(ByteReader& in) {
    access_flags = in.u2();
    name_index = in.u2();
    descriptor_index = in.u2();
    attributes_count = in.u2();
    attributes.reserve(in.capacityFor(attributes_count, 6));
    bool constantValue = false;
    for (uint32_t i = 0; i < attributes_count; ++i) {
        std::unique_ptr<Attribute> attribute = readAttribute(in, i, owner->pool());
        constantValue |= attribute->kind == AttributeKind::ConstantValue;
        isSynthetic |= attribute->kind == AttributeKind::Synthetic;
        isDeprecated |= attribute->kind == AttributeKind::Deprecated;
        attributes.push_back(std::move(attribute));
    }
    return constantValue;
}

FieldInfo::FieldInfo(ByteReader& in, uint32_t position, const ClassInfo& classInfo)
    : MemberInfo(position, classInfo) {
    hasConstantValue = read(in);
}

FieldInfo::~FieldInfo() = default;

MethodInfo::MethodInfo(ByteReader& in, uint32_t position, const ClassInfo& classInfo)
    : MemberInfo(position, classInfo) {
    read(in);
}

MethodInfo::~MethodInfo() = default;

const AttributeCode* MethodInfo::code() const {
    return findAttribute<AttributeCode>(attributes);
}

} // namespace classfile
