#include "classfile/Attribute.h"
#include "classfile/Annotation.h"
#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"
#include "classfile/Names.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace classfile {

Attribute::~Attribute() = default;

namespace {

struct Header {
    ByteReader& in;
    const ConstantPool& pool;
    uint32_t length;
    unsigned depth;
};

using Reader = std::unique_ptr<Attribute> (*)(const Header&);

template <typename T>
std::unique_ptr<Attribute> readWithPool(const Header& h) {
    return std::make_unique<T>(h.in, h.pool);
}
template <typename T>
std::unique_ptr<Attribute> readPlain(const Header& h) {
    return std::make_unique<T>(h.in);
}
template <typename T>
std::unique_ptr<Attribute> readEmpty(const Header&) {
    return std::make_unique<T>();
}
std::unique_ptr<Attribute> readCode(const Header& h) {
    return std::make_unique<AttributeCode>(h.in, h.pool, h.depth);
}

struct KnownAttribute {
    std::string_view name;
    Reader read;
};

const KnownAttribute kKnown[] = {
    {names::Code, readCode},
    {names::ConstantValue, readPlain<AttributeConstantValue>},
    {names::Exceptions, readPlain<AttributeExceptions>},
    {names::InnerClasses, readWithPool<AttributeInnerClasses>},
    {names::Synthetic, readEmpty<AttributeSynthetic>},
    {names::SourceFile, readPlain<AttributeSourceFile>},
    {names::LineNumberTable, readPlain<AttributeLineNumberTable>},
    {names::LocalVariableTable, readWithPool<AttributeLocalVariableTable>},
    {names::Deprecated, readEmpty<AttributeDeprecated>},
    {names::StackMap, readWithPool<AttributeStackMap>},
    {names::RuntimeVisibleAnnotations, readWithPool<AttributeRuntimeVisibleAnnotations>},
    {names::RuntimeInvisibleAnnotations, readWithPool<AttributeRuntimeInvisibleAnnotations>},
    {names::RuntimeVisibleParameterAnnotations,
     readWithPool<AttributeRuntimeVisibleParameterAnnotations>},
    {names::RuntimeInvisibleParameterAnnotations,
     readWithPool<AttributeRuntimeInvisibleParameterAnnotations>},
};

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

std::unique_ptr<Attribute> readAttribute(ByteReader& in, uint32_t index, const ConstantPool& pool,
                                         unsigned depth) {
    const uint64_t start = in.offset();
    const uint16_t nameIndex = in.u2();
    const uint32_t length = in.u4();
    if (pool.find(nameIndex) == nullptr)
        throw std::runtime_error(
            "Reading SGB failed: attribute at offset " + std::to_string(start) + ": name index " +
            std::to_string(nameIndex) +
            (pool.contains(nameIndex)
                 ? " names an empty constant pool slot"
                 : " lies outside the constant pool (" + std::to_string(pool.size()) + " slots)"));
    // Names are Utf8 entries in every compiled file: the attribute refers to
    // their text. Any other entry gives its toString, which the attribute
    // keeps.
    const ConstantPoolEntry* nameEntry = pool.find(nameIndex);
    std::string nameCopy;
    const std::string_view name =
        nameEntry->tag == TAG_UTF8 ? std::string_view(static_cast<const CPEUtf8*>(nameEntry)->value)
                                   : std::string_view(nameCopy = pool.text(nameIndex));

    const Header header{in, pool, length, depth};
    std::unique_ptr<Attribute> attribute;
    for (const KnownAttribute& known : kKnown) {
        if (known.name == name) {
            attribute = known.read(header);
            break;
        }
    }
    if (!attribute)
        attribute = std::make_unique<AttributeUnknown>(in, length);

    attribute->pool = &pool;
    attribute->name_index = nameIndex;
    attribute->index = index;
    attribute->attribute_length = recordedLength(attribute->kind, length);
    if (nameEntry->tag == TAG_UTF8)
        attribute->name = name;
    else
        attribute->keepName(std::move(nameCopy));
    return attribute;
}

} // namespace classfile
