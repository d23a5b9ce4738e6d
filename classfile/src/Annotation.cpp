#include "classfile/Annotation.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"
#include "classfile/ReadContext.h"

#include "Limits.h"

#include <new>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

AnnotationList readAnnotations(ReadContext& context, uint16_t count) {
    // An annotation without pairs takes 4 bytes.
    InPlaceListBuilder<AnnotationInfo> list(context.arena, context.in.capacityFor(count, 4));
    for (uint32_t i = 0; i < count; ++i)
        new (list.slot()) AnnotationInfo(context);
    return list.list();
}

} // namespace

AnnotationInfo::AnnotationInfo(ReadContext& context, unsigned depth) : owner(context.pool->owner) {
    ByteReader& in = context.in;
    type_index = in.u2();
    num_element_value_pairs = in.u2();
    // A pair takes at least its name index and tag.
    InPlaceListBuilder<ElementValue> pairs(context.arena,
                                           in.capacityFor(num_element_value_pairs, 3));
    for (uint32_t i = 0; i < num_element_value_pairs; ++i)
        new (pairs.slot()) ElementValue(context, true, depth + 1);
    element_value_pairs = pairs.list();
}

ElementValue::ElementValue(ReadContext& context, bool withName, unsigned depth)
    : owner(context.pool->owner), hasName(withName) {
    ByteReader& in = context.in;
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
        annotation_value = context.arena.make<AnnotationInfo>(context, depth);
        break;
    case '[': {
        num_values = in.u2();
        InPlaceListBuilder<ElementValue> list(context.arena, in.capacityFor(num_values, 1));
        for (uint32_t i = 0; i < num_values; ++i)
            new (list.slot()) ElementValue(context, false, depth + 1);
        values = list.list();
        break;
    }
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

AttributeRuntimeAnnotations::AttributeRuntimeAnnotations(AttributeKind k, ReadContext& context)
    : Attribute(k) {
    num_annotations = context.in.u2();
    annotations = readAnnotations(context, num_annotations);
}

AttributeRuntimeParameterAnnotations::AttributeRuntimeParameterAnnotations(AttributeKind k,
                                                                           ReadContext& context)
    : Attribute(k) {
    num_parameters = context.in.u1();
    RecordListBuilder<AnnotationList> lists(context.arena,
                                            context.in.capacityFor(num_parameters, 2));
    for (uint32_t i = 0; i < num_parameters; ++i)
        lists.push_back(readAnnotations(context, context.in.u2()));
    parameter_annotations = lists.list();
}

} // namespace classfile
