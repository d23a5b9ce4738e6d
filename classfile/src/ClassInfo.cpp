#include "classfile/ClassInfo.h"
#include "classfile/ByteReader.h"
#include "classfile/ReadContext.h"

#include <boost/format.hpp>

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

constexpr uint32_t kMagic = 0xCAFEBABE;
constexpr uint16_t kMaxMajorVersion = 50;

// super_class and the interfaces are not checked by the format's reader;
// an index outside the pool is refused here rather than followed.
const ConstantPoolEntry* classSlot(const ConstantPool& pool, uint32_t index, const char* what) {
    if (!pool.contains(index))
        throw std::runtime_error((boost::format("Reading SGB failed (%s index %d not in pool "
                                                "(count %d)).") %
                                  what % index % pool.size())
                                     .str());
    return pool.find(index);
}

} // namespace

ClassInfo::ClassInfo(std::istream& in) {
    ByteReader reader(in);
    ReadContext context(reader, mArena, nullptr, this);
    mArena.sizeFrom(&reader);
    read(context);
    mArena.sizeFrom(nullptr);
    bytesRead = reader.offset();
}

// The records are the arena's: they go with it, none on its own.
ClassInfo::~ClassInfo() = default;

void ClassInfo::read(ReadContext& context) {
    ByteReader& in = context.in;
    magic = in.u4();
    if (magic != kMagic) {
        std::cerr << "invalid magic: 0x" << std::hex << magic << std::dec << std::endl;
        throw std::runtime_error(
            (boost::format("SGB file contains invalid magic word '0x%08x'") % magic).str());
    }
    minor_version = in.u2();
    major_version = in.u2();
    if (major_version > kMaxMajorVersion) {
        std::cerr << "Unknown version" << major_version << "." << minor_version << std::endl;
        throw std::runtime_error(
            (boost::format("SGB file contains bytecode of version %d.%d, not supported.") %
             major_version % minor_version)
                .str());
    }

    constant_pool_count = in.u2();
    ConstantPool* pool = mArena.make<ConstantPool>(context, constant_pool_count);
    constant_pool = pool;
    context.pool = pool;
    // A class names each kind of attribute by one pool slot: its name is
    // compared with the known ones once, not for every attribute.
    context.attributeLayouts = mArena.array<uint8_t>(pool->size());
    std::memset(context.attributeLayouts, 0, pool->size());
    access_flags = in.u2();

    const uint16_t thisIndex = in.u2();
    pool->thisClassIndex = thisIndex;
    if (static_cast<int32_t>(thisIndex) >= static_cast<int32_t>(constant_pool_count)) {
        std::cerr << "this_class_index not in pool: " << thisIndex << " >= " << constant_pool_count
                  << std::endl;
        throw std::runtime_error(
            (boost::format("Reading SGB failed (class index %d not in pool (count %d)).") %
             thisIndex % constant_pool_count)
                .str());
    }
    // A count of 0 leaves no slot 0; the check above already refused it.
    this_class = constant_pool->find(thisIndex);
    super_class = classSlot(*constant_pool, in.u2(), "super class");

    const uint16_t interfacesCount = in.u2();
    RecordListBuilder<const ConstantPoolEntry*> interfaceList(mArena,
                                                              in.capacityFor(interfacesCount, 2));
    for (uint32_t i = 0; i < interfacesCount; ++i)
        interfaceList.push_back(classSlot(*constant_pool, in.u2(), "interface"));
    interfaces = interfaceList.list();

    const uint16_t fieldsCount = in.u2();
    // A field or method without attributes takes 8 bytes.
    RecordListBuilder<const FieldInfo*> fieldList(mArena, in.capacityFor(fieldsCount, 8));
    for (uint32_t i = 0; i < fieldsCount; ++i)
        fieldList.push_back(mArena.make<FieldInfo>(context, i));
    fields = fieldList.list();

    const uint16_t methodsCount = in.u2();
    RecordListBuilder<const MethodInfo*> methodList(mArena, in.capacityFor(methodsCount, 8));
    for (uint32_t i = 0; i < methodsCount; ++i)
        methodList.push_back(mArena.make<MethodInfo>(context, i));
    methods = methodList.list();

    attributes = readAttributes(context, in.u2());
    for (const Attribute* attribute : attributes) {
        isSynthetic |= attribute->kind == AttributeKind::Synthetic;
        isDeprecated |= attribute->kind == AttributeKind::Deprecated;
    }

    // Only class entries check anything when resolved.
    for (size_t slot = 1; slot < constant_pool->size(); ++slot) {
        const ConstantPoolEntry* entry = constant_pool->find(slot);
        if (entry != nullptr && entry->tag == TAG_CLASS)
            entry->resolve();
    }
}

bool ClassInfo::isInterfaceOf(const ConstantPoolEntry* entry) const {
    if (entry == nullptr)
        return false;
    // An interface index naming an empty slot is compared like any other:
    // every interface costs one comparison.
    bool found = false;
    for (const ConstantPoolEntry* iface : interfaces)
        found |= ConstantPoolEntry::equal(iface, *entry);
    return found;
}

} // namespace classfile
