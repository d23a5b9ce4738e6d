#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"
#include "classfile/ReadContext.h"

#include <boost/format.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

// Numbers print as a string conversion with the type's round-trip precision
// would: "%.*g" with 9 digits for floats and 17 for doubles, and "nan"/"inf"
// with a "-" when the sign bit is set (whatever the C library writes).
std::string realText(double value, int precision) {
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

void ConstantPoolEntry::resolve() const {}

bool ConstantPoolEntry::equal(const ConstantPoolEntry*, const ConstantPoolEntry& other) {
    if (other.tag == TAG_CLASS)
        std::cerr << "operator== not implemented! always return false" << std::endl;
    return false;
}

CPEUtf8::CPEUtf8(ReadContext& context) : ConstantPoolEntry(TAG) {
    const uint16_t length = context.in.u2();
    value = std::string_view(reinterpret_cast<const char*>(context.in.block(context.arena, length)),
                             length);
}

std::string CPEUtf8::toString() const {
    return std::string(value);
}

CPEUnicode::CPEUnicode(ReadContext& context) : ConstantPoolEntry(TAG) {
    ByteReader& in = context.in;
    const auto length = static_cast<int32_t>(in.u4());
    if (length < 0)
        throw std::length_error("constant pool entry of tag 2 at offset " +
                                std::to_string(in.offset() - 4) + " has negative length " +
                                std::to_string(length));
    const auto size = static_cast<size_t>(length);
    const uint8_t* data = in.block(context.arena, size);
    bytes = RecordList<uint8_t>(data, size);
    value = std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string CPEUnicode::toString() const {
    return std::string(value);
}

CPEInteger::CPEInteger(ReadContext& context)
    : ConstantPoolEntry(TAG), value(static_cast<int32_t>(context.in.u4())) {}

std::string CPEInteger::toString() const {
    return std::to_string(value);
}

CPEFloat::CPEFloat(ReadContext& context) : ConstantPoolEntry(TAG) {
    const uint32_t bits = context.in.u4();
    std::memcpy(&value, &bits, sizeof value);
}

std::string CPEFloat::toString() const {
    return realText(value, 9);
}

CPELong::CPELong(ReadContext& context)
    : ConstantPoolEntry(TAG), value(static_cast<int64_t>(context.in.u8())) {}

std::string CPELong::toString() const {
    return std::to_string(value);
}

CPEDouble::CPEDouble(ReadContext& context) : ConstantPoolEntry(TAG) {
    const uint64_t bits = context.in.u8();
    std::memcpy(&value, &bits, sizeof value);
}

std::string CPEDouble::toString() const {
    return realText(value, 17);
}

CPEClass::CPEClass(ReadContext& context) : ConstantPoolEntry(TAG), name_index(context.in.u2()) {}

std::string CPEClass::toString() const {
    return pool->text(index);
}

CPEString::CPEString(ReadContext& context)
    : ConstantPoolEntry(TAG), string_index(context.in.u2()) {}

std::string CPEString::toString() const {
    return pool->text(index);
}

CPERef::CPERef(PoolTag t, ReadContext& context) : ConstantPoolEntry(t) {
    class_index = context.in.u2();
    name_and_type_index = context.in.u2();
}

void CPERef::checkSlots() const {
    // An index outside the pool fails these checks like an empty slot does.
    const ConstantPoolEntry* cls = pool->find(class_index);
    if (cls == nullptr || cls->tag != TAG_CLASS) {
        std::cerr << "CPERef : pool[" << class_index << "] != CPEClass " << std::endl;
        throw std::runtime_error(
            (boost::format("Reading SGB error:  pool[%d] != CPEClass") % class_index).str());
    }
    const ConstantPoolEntry* nat = pool->find(name_and_type_index);
    if (nat == nullptr || nat->tag != TAG_NAME_AND_TYPE) {
        std::cerr << "CPERef : pool[" << name_and_type_index << "] != CPENameAndType " << std::endl;
        throw std::runtime_error(
            (boost::format("Reading SGB error:  pool[%d] !=  CPENameAndType") % name_and_type_index)
                .str());
    }
}

// The texts of entries that refer to other slots are put together by the
// pool's walk, which follows chains of any length without recursing.
std::string CPERef::toString() const {
    return pool->text(index);
}

CPENameAndType::CPENameAndType(ReadContext& context) : ConstantPoolEntry(TAG) {
    name_index = context.in.u2();
    descriptor_index = context.in.u2();
}

std::string CPENameAndType::toString() const {
    return pool->text(index);
}

} // namespace classfile
