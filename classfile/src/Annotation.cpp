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

// Kept out of line: building the message would otherwise weigh on every
// element value read.
[[noreturn]] __attribute__((noinline, cold)) void failNesting(const ByteReader& in) {
    throw std::runtime_error("Reading SGB failed: element value at offset " +
                             std::to_string(in.offset()) + " is nested more than " +
                             std::to_string(kMaxElementValueDepth) + " levels deep");
}

} // namespace

AnnotationInfo::AnnotationInfo(ReadContext& context, unsigned depth) : owner(context.pool->owner) {
    ByteReader& in = context.in;
    type_index = in.u2();
    num_element_value_pairs = in.u2();
    // A pair takes at least its name index and tag.
    InPlaceListBuilder<ElementValue> pairs(context.arena,
                                           in.capacityFor(num_element_value_pairs, 3));
    // Constant pairs are taken here, without a call each.
    const bool leavesFit = depth + 1 <= kMaxElementValueDepth;
    for (uint32_t i = 0; i < num_element_value_pairs; ++i) {
        void* at = pairs.slot();
        const uint8_t* p = in.peek(5);
        if (p && leavesFit && ElementValue::isConstantTag(p[2])) {
            new (at) ElementValue(owner, true, static_cast<uint16_t>(p[0] << 8 | p[1]), p[2],
                                  static_cast<uint16_t>(p[3] << 8 | p[4]));
            in.skip(5);
        } else {
            ElementValue::readInto(at, context, true, depth + 1);
        }
    }
    element_value_pairs = pairs.list();
}

ElementValue::ElementValue(ReadContext& context, bool withName, unsigned depth)
    : owner(context.pool->owner), hasName(withName) {
    ByteReader& in = context.in;
    if (depth > kMaxElementValueDepth)
        failNesting(in);
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
        values = readValues(context, num_values, depth);
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

void ElementValue::readInto(void* at, ReadContext& context, bool withName, unsigned depth) {
    // Most values of a rule file are constants and arrays of them: when the
    // buffer holds the bytes up to their payload they are taken with one
    // check. Any other value, one too deep (which the constructor refuses) and
    // one whose bytes the buffer does not hold go the constructor's way.
    ByteReader& in = context.in;
    const size_t nameBytes = withName ? 2 : 0;
    const uint8_t* p = in.peek(nameBytes + 3);
    if (p == nullptr || depth > kMaxElementValueDepth) {
        new (at) ElementValue(context, withName, depth);
        return;
    }
    const uint8_t valueTag = p[nameBytes];
    const bool constant = isConstantTag(valueTag);
    if (!constant && valueTag != '[') {
        new (at) ElementValue(context, withName, depth);
        return;
    }
    const auto nameIndex = static_cast<uint16_t>(withName ? p[0] << 8 | p[1] : 0);
    const auto payload = static_cast<uint16_t>(p[nameBytes + 1] << 8 | p[nameBytes + 2]);
    in.skip(nameBytes + 3);
    auto* value = new (at)
        ElementValue(context.pool->owner, withName, nameIndex, valueTag, constant ? payload : 0);
    // An empty array, common in rule files, is complete as made.
    if (!constant && payload != 0) {
        value->num_values = payload;
        value->values = readValues(context, payload, depth);
    }
}

InPlaceList<ElementValue> ElementValue::readValues(ReadContext& context, uint16_t count,
                                                   unsigned depth) {
    ByteReader& in = context.in;
    InPlaceListBuilder<ElementValue> list(context.arena, in.capacityFor(count, 1));
    // The constants of an array are taken here, without a call each.
    const ClassInfo* owner = context.pool->owner;
    const bool leavesFit = depth + 1 <= kMaxElementValueDepth;
    for (uint32_t i = 0; i < count; ++i) {
        void* at = list.slot();
        const uint8_t* p = in.peek(3);
        if (p && leavesFit && isConstantTag(p[0])) {
            new (at) ElementValue(owner, false, 0, p[0], static_cast<uint16_t>(p[1] << 8 | p[2]));
            in.skip(3);
        } else {
            readInto(at, context, false, depth + 1);
        }
    }
    return list.list();
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
