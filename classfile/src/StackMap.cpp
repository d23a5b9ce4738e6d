#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ReadContext.h"

#include <boost/format.hpp>

#include <stdexcept>

namespace classfile {

void readTy(RecordListBuilder<const StackMapEntry::Ty*>& list, ReadContext& context) {
    using E = StackMapEntry;
    RecordArena& arena = context.arena;
    const auto tag = static_cast<int8_t>(context.in.u1());
    switch (tag) {
    case 0:
        list.push_back(arena.make<E::TyBogus>());
        break;
    case 1:
        list.push_back(arena.make<E::TyInteger>());
        break;
    case 2:
        list.push_back(arena.make<E::TyFloat>());
        break;
    case 3:
        list.push_back(arena.make<E::TyDouble>());
        break;
    case 4:
        list.push_back(arena.make<E::TyLong>());
        break;
    case 5:
        list.push_back(arena.make<E::TyNull>());
        break;
    case 6:
        list.push_back(arena.make<E::TyInitObject>());
        break;
    case 7:
        list.push_back(arena.make<E::TyObject>(context.in.u2(), context.pool));
        break;
    case 8:
        list.push_back(arena.make<E::TyNewObject>(context.in.u2()));
        break;
    default:
        throw std::runtime_error(
            (boost::format("Reading SGB failed: readTy() : Unknown type: %d") % int(tag)).str());
    }
}

namespace {

StackMapEntry::TyList readTypes(ReadContext& context) {
    const uint16_t count = context.in.u2();
    RecordListBuilder<const StackMapEntry::Ty*> list(context.arena,
                                                     context.in.capacityFor(count, 1));
    for (uint32_t i = 0; i < count; ++i)
        readTy(list, context);
    return list.list();
}

} // namespace

AttributeStackMap::AttributeStackMap(ReadContext& context) : Attribute(KIND) {
    numberOfEntries = context.in.u2();
    RecordListBuilder<StackMapEntry> list(context.arena,
                                          context.in.capacityFor(numberOfEntries, 6));
    for (uint32_t i = 0; i < numberOfEntries; ++i) {
        StackMapEntry& entry = list.emplace_back();
        entry.offset = context.in.u2();
        entry.locals = readTypes(context);
        entry.stack = readTypes(context);
    }
    entries = list.list();
}

} // namespace classfile
