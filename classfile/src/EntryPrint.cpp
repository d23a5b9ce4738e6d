// Dumps of constant-pool entries: the dump arrives separately.
#include "classfile/ConstantPool.h"

#include <ostream>
#include <string>

namespace classfile {

void CPEUtf8::print(std::ostream&) const {}
void CPEUnicode::print(std::ostream&) const {}
void CPEInteger::print(std::ostream&) const {}
void CPEFloat::print(std::ostream&) const {}
void CPELong::print(std::ostream&) const {}
void CPEDouble::print(std::ostream&) const {}
void CPEClass::print(std::ostream&) const {}
void CPEString::print(std::ostream&) const {}
void CPEFieldRef::print(std::ostream&) const {}
void CPEMethodRef::print(std::ostream&) const {}
void CPEInterfaceMethodRef::print(std::ostream&) const {}
void CPENameAndType::print(std::ostream&) const {}

std::string ConstantPoolEntry::describe() const {
    return {};
}
std::string CPEInteger::describe() const {
    return {};
}
std::string CPEFloat::describe() const {
    return {};
}
std::string CPELong::describe() const {
    return {};
}
std::string CPEDouble::describe() const {
    return {};
}
std::string CPEClass::describe() const {
    return {};
}
std::string CPEString::describe() const {
    return {};
}
std::string CPEMethodRef::describe() const {
    return {};
}
std::string CPENameAndType::describe() const {
    return {};
}

} // namespace classfile
