#include "classfile/ClassInfo.h"
#include "classfile/ByteReader.h"

#include <boost/format.hpp>

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
    const RecordArena::Scope scope(&mArena);
    ByteReader reader(in);
    try {
        read(reader);
    } catch (...) {
        releaseRecords();
        throw;
    }
    bytesRead = reader.offset();
}

ClassInfo::~ClassInfo() {
    releaseRecords();
}

void ClassInfo::releaseRecords() {
    const RecordArena::Scope scope(&mArena);
    fields.clear();
    methods.clear();
    // The list's own storage is the arena's too: it goes while the arena is
    // active, not when the member is destroyed after it.
    AttributeList().swap(attributes);
    interfaces.clear();
    constant_pool.reset();
}

void ClassInfo::read(ByteReader& in) {
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
    constant_pool = std::make_unique<ConstantPool>(this, in, constant_pool_count);
    access_flags = in.u2();

    const uint16_t thisIndex = in.u2();
    constant_pool->thisClassIndex = thisIndex;
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
    interfaces.reserve(in.capacityFor(interfacesCount, 2));
    for (uint32_t i = 0; i < interfacesCount; ++i)
        interfaces.push_back(classSlot(*constant_pool, in.u2(), "interface"));

    const uint16_t fieldsCount = in.u2();
    // A field or method without attributes takes 8 bytes.
    fields.reserve(in.capacityFor(fieldsCount, 8));
    for (uint32_t i = 0; i < fieldsCount; ++i)
        fields.push_back(std::make_unique<FieldInfo>(in, i, *this));

    const uint16_t methodsCount = in.u2();
    methods.reserve(in.capacityFor(methodsCount, 8));
    for (uint32_t i = 0; i < methodsCount; ++i)
        methods.push_back(std::make_unique<MethodInfo>(in, i, *this));

    const uint16_t attributesCount = in.u2();
    attributes.reserve(in.capacityFor(attributesCount, 6));
    for (uint32_t i = 0; i < attributesCount; ++i) {
        std::unique_ptr<Attribute> attribute = readAttribute(in, i, *constant_pool);
        isSynthetic |= attribute->kind == AttributeKind::Synthetic;
        isDeprecated |= attribute->kind == AttributeKind::Deprecated;
        attributes.push_back(std::move(attribute));
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
