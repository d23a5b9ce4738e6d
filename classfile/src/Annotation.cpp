#include "classfile/Annotation.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"

#include "Limits.h"

#include <stdexcept>
#include <string>

namespace classfile {

namespace {

AnnotationList readAnnotations(ByteReader& in, const ConstantPool& pool, uint16_t count) {
    AnnotationList list;
    // An annotation without pairs takes 4 bytes.
    list.reserve(in.capacityFor(count, 4));
    for (uint32_t i = 0; i < count; ++i)
        list.push_back(std::make_unique<AnnotationInfo>(in, pool));
    return list;
}

// An annotation tree made while an arena is active lies wholly in that arena:
// its records, their lists and nothing else. When it goes while the arena is
// active, the arena frees that memory in one go, so the tree is left as it is
// instead of being destroyed record by record.
void abandonInArena(AnnotationList& list) {
    if (!recordPooling() || RecordArena::active() == nullptr)
        return;
    for (std::unique_ptr<AnnotationInfo>& annotation : list)
        static_cast<void>(annotation.release());
}

} // namespace

AnnotationInfo::AnnotationInfo(ByteReader& in, const ConstantPool& constantPool, unsigned depth)
    : owner(constantPool.owner) {
    type_index = in.u2();
    num_element_value_pairs = in.u2();
    // A pair takes at least its name index and tag.
    element_value_pairs.reserve(in.capacityFor(num_element_value_pairs, 3));
    for (uint32_t i = 0; i < num_element_value_pairs; ++i)
        element_value_pairs.push_back(
            std::make_unique<ElementValue>(constantPool, in, true, depth + 1));
}

AnnotationInfo::~AnnotationInfo() = default;

ElementValue::ElementValue(const ConstantPool& constantPool, ByteReader& in, bool withName,
                           unsigned depth)
    : owner(constantPool.owner), hasName(withName) {
    if (depth > kMaxElementValueDepth)
        throw std::runtime_error("Reading SGB failed: element value at offset " +
                                 std::to_string(in.offset()) + " is nested more than " +
                                 std::to_string(kMaxElementValueDepth) + " levels deep");
    if (withName)
        element_name_index = in.u2();
    tag = in.u1();
    // Tags outside '@'..'s', and unknown ones inside, carry no payload.
    if (isConstantTag(tag)) {
        const_value_index = in.u2();
        return;
    }
    switch (tag) {
    case '@':
        annotation_value = std::make_unique<AnnotationInfo>(in, constantPool, depth);
        break;
    case '[':
        num_values = in.u2();
        values.reserve(in.capacityFor(num_values, 1));
        for (uint32_t i = 0; i < num_values; ++i)
            values.push_back(std::make_unique<ElementValue>(constantPool, in, false, depth + 1));
        break;
    case 'c':
        class_info_index = in.u2();
        break;
    case 'e':
        type_name_index = in.u2();
        const_name_index = in.u2();
        break;
    default:
        break;
    }
}

ElementValue::~ElementValue() = default;

AttributeRuntimeAnnotations::AttributeRuntimeAnnotations(AttributeKind k, ByteReader& in,
                                                         const ConstantPool& constantPool)
    : Attribute(k) {
    num_annotations = in.u2();
    annotations = readAnnotations(in, constantPool, num_annotations);
}

AttributeRuntimeAnnotations::~AttributeRuntimeAnnotations() {
    abandonInArena(annotations);
}

AttributeRuntimeParameterAnnotations::AttributeRuntimeParameterAnnotations(
    AttributeKind k, ByteReader& in, const ConstantPool& constantPool)
    : Attribute(k) {
    num_parameters = in.u1();
    parameter_annotations.reserve(in.capacityFor(num_parameters, 2));
    for (uint32_t i = 0; i < num_parameters; ++i)
        parameter_annotations.push_back(readAnnotations(in, constantPool, in.u2()));
}

AttributeRuntimeParameterAnnotations::~AttributeRuntimeParameterAnnotations() {
    for (AnnotationList& list : parameter_annotations)
        abandonInArena(list);
}

} // namespace classfile
