#include "classfile/Attribute.h"
#include "classfile/Annotation.h"
#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"
#include "classfile/Names.h"
#include "classfile/ReadContext.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace classfile {

namespace {

struct Header {
    ReadContext& context;
    uint32_t length;
    unsigned depth;
};

using Reader = Attribute* (*)(const Header&);

template <typename T>
Attribute* readPlain(const Header& h) {
    return h.context.arena.make<T>(h.context);
}
template <typename T>
Attribute* readEmpty(const Header& h) {
    return h.context.arena.make<T>();
}
Attribute* readCode(const Header& h) {
    return h.context.arena.make<AttributeCode>(h.context, h.depth);
}

struct KnownAttribute {
    std::string_view name;
    Reader read;
};

const KnownAttribute kKnown[] = {
    {names::Code, readCode},
    {names::ConstantValue, readPlain<AttributeConstantValue>},
    {names::Exceptions, readPlain<AttributeExceptions>},
    {names::InnerClasses, readPlain<AttributeInnerClasses>},
    {names::Synthetic, readEmpty<AttributeSynthetic>},
    {names::SourceFile, readPlain<AttributeSourceFile>},
    {names::LineNumberTable, readPlain<AttributeLineNumberTable>},
    {names::LocalVariableTable, readPlain<AttributeLocalVariableTable>},
    {names::Deprecated, readEmpty<AttributeDeprecated>},
    {names::StackMap, readPlain<AttributeStackMap>},
    {names::RuntimeVisibleAnnotations, readPlain<AttributeRuntimeVisibleAnnotations>},
    {names::RuntimeInvisibleAnnotations, readPlain<AttributeRuntimeInvisibleAnnotations>},
    {names::RuntimeVisibleParameterAnnotations,
     readPlain<AttributeRuntimeVisibleParameterAnnotations>},
    {names::RuntimeInvisibleParameterAnnotations,
     readPlain<AttributeRuntimeInvisibleParameterAnnotations>},
};

// Kept out of line, away from the path of every attribute read.
[[noreturn]] __attribute__((noinline, cold)) void failName(const ConstantPool& pool, uint64_t start,
                                                           uint16_t nameIndex) {
    throw std::runtime_error(
        "Reading SGB failed: attribute at offset " + std::to_string(start) + ": name index " +
        std::to_string(nameIndex) +
        (pool.contains(nameIndex)
             ? " names an empty constant pool slot"
             : " lies outside the constant pool (" + std::to_string(pool.size()) + " slots)"));
}

constexpr size_t kKnownCount = sizeof kKnown / sizeof kKnown[0];

// The position in kKnown of the layout `name` selects, kKnownCount for none.
// A name read from a UTF-8 slot is looked up once per slot when the context
// keeps a table of them.
size_t layoutOf(ReadContext& context, uint16_t slot, std::string_view name, bool fromSlot) {
    uint8_t* cached =
        fromSlot && context.attributeLayouts ? &context.attributeLayouts[slot] : nullptr;
    if (cached && *cached != 0)
        return *cached - 1u;
    size_t i = 0;
    while (i < kKnownCount && kKnown[i].name != name)
        ++i;
    if (cached)
        *cached = static_cast<uint8_t>(i + 1);
    return i;
}

// Attributes whose recorded length is fixed by their kind, not the header.
uint32_t recordedLength(AttributeKind kind, uint32_t headerLength) {
    switch (kind) {
    case AttributeKind::ConstantValue:
    case AttributeKind::SourceFile:
        return 2;
    case AttributeKind::Synthetic:
    case AttributeKind::Deprecated:
        return 0;
    default:
        return headerLength;
    }
}

} // namespace

const Attribute* readAttribute(ReadContext& context, uint32_t index, unsigned depth) {
    ByteReader& in = context.in;
    const ConstantPool& pool = *context.pool;
    const uint16_t nameIndex = in.u2();
    const uint32_t length = in.u4();
    const ConstantPoolEntry* nameEntry = pool.find(nameIndex);
    if (nameEntry == nullptr)
        failName(pool, in.offset() - 6, nameIndex);
    // Names are Utf8 entries in every compiled file: the attribute refers to
    // their text. Any other entry gives its toString, which the arena keeps.
    const bool fromSlot = nameEntry->tag == TAG_UTF8;
    const std::string_view name = fromSlot ? static_cast<const CPEUtf8*>(nameEntry)->value
                                           : context.arena.copy(pool.text(nameIndex));

    const size_t layout = layoutOf(context, nameIndex, name, fromSlot);
    Attribute* attribute = layout < kKnownCount
                               ? kKnown[layout].read(Header{context, length, depth})
                               : context.arena.make<AttributeUnknown>(context, length);

    attribute->pool = &pool;
    attribute->name_index = nameIndex;
    attribute->index = index;
    attribute->attribute_length = recordedLength(attribute->kind, length);
    attribute->name = name;
    return attribute;
}

AttributeList readAttributes(ReadContext& context, uint32_t count, unsigned depth) {
    // An attribute takes at least its 6-byte header.
    RecordListBuilder<const Attribute*> list(context.arena, context.in.capacityFor(count, 6));
    for (uint32_t i = 0; i < count; ++i)
        list.push_back(readAttribute(context, i, depth));
    return list.list();
}

} // namespace classfile
