#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"

#include <boost/format.hpp>

#include <stdexcept>

namespace classfile {

void readTy(StackMapEntry::TyList& list, ByteReader& in, const ConstantPool& pool) {
    using E = StackMapEntry;
    const auto tag = static_cast<int8_t>(in.u1());
    switch (tag) {
    case 0:
        list.push_back(std::make_unique<E::TyBogus>());
        break;
    case 1:
        list.push_back(std::make_unique<E::TyInteger>());
        break;
    case 2:
        list.push_back(std::make_unique<E::TyFloat>());
        break;
    case 3:
        list.push_back(std::make_unique<E::TyDouble>());
        break;
    case 4:
        list.push_back(std::make_unique<E::TyLong>());
        break;
    case 5:
        list.push_back(std::make_unique<E::TyNull>());
        break;
    case 6:
        list.push_back(std::make_unique<E::TyInitObject>());
        break;
    case 7:
        list.push_back(std::make_unique<E::TyObject>(in.u2(), &pool));
        break;
    case 8:
        list.push_back(std::make_unique<E::TyNewObject>(in.u2()));
        break;
    default:
        throw std::runtime_error(
            (boost::format("Reading SGB failed: readTy() : Unknown type: %d") % int(tag)).str());
    }
}

namespace {

void readTypes(StackMapEntry::TyList& list, ByteReader& in, const ConstantPool& pool) {
    const uint16_t count = in.u2();
    list.reserve(in.capacityFor(count, 1));
    for (uint32_t i = 0; i < count; ++i)
        readTy(list, in, pool);
}

} // namespace

AttributeStackMap::AttributeStackMap(ByteReader& in, const ConstantPool& constantPool)
    : Attribute(KIND) {
    numberOfEntries = in.u2();
    entries.reserve(in.capacityFor(numberOfEntries, 6));
    for (uint32_t i = 0; i < numberOfEntries; ++i) {
        StackMapEntry& entry = entries.emplace_back();
        entry.offset = in.u2();
        readTypes(entry.locals, in, constantPool);
        readTypes(entry.stack, in, constantPool);
    }
}

} // namespace classfile
