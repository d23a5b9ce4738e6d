// Dumps and operand texts of constant-pool entries.
#include "DumpText.h"

#include "classfile/Attributes.h"
#include "classfile/ClassInfo.h"
#include "classfile/ConstantPool.h"
#include "classfile/FieldType.h"
#include "classfile/Names.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace classfile {

namespace {

// Default stream formatting of a floating-point number ("%g", precision 6),
// which is what a string stream writes.
std::string defaultReal(double value) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%g", value);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

void writeRefTail(std::ostream& out, const CPERef& ref) {
    out << "; classIndex=" << ref.class_index << "; "
        << "nameAndTypeIndex=" << ref.name_and_type_index << "}";
}

// One field type of a method descriptor starting at `pos`: its length, so
// that parseFieldType sees only that type and walking a long descriptor
// stays linear. An unknown type character yields the rest of the text, for
// parseFieldType to report it.
size_t fieldTypeLength(const std::string& d, size_t pos) {
    size_t end = pos;
    while (end < d.size() && d[end] == '[')
        ++end;
    if (end >= d.size())
        return d.size() - pos;
    switch (d[end]) {
    case 'B':
    case 'C':
    case 'D':
    case 'F':
    case 'I':
    case 'J':
    case 'S':
    case 'V':
    case 'Z':
        return end + 1 - pos;
    case 'L': {
        const size_t semicolon = d.find(';', end);
        return (semicolon == std::string::npos ? d.size() : semicolon + 1) - pos;
    }
    default:
        return d.size() - pos;
    }
}

} // namespace

void writeSlotName(std::ostream& out, const ConstantPool& pool, uint32_t i) {
    if (pool.find(i) == nullptr)
        return;
    // The text first: if it cannot be produced, nothing of the bracket is written.
    const std::string text = pool.text(i);
    out << " [" << text << "]";
}

std::string sourceForm(const std::string& internalName) {
    size_t dims = 0;
    while (dims < internalName.size() && internalName[dims] == '[')
        ++dims;
    std::string result = internalName.substr(dims);
    for (char& c : result)
        if (c == '$' || c == '/')
            c = '.';
    for (size_t i = 0; i < dims; ++i)
        result += "[]";
    return result;
}

std::string signatureOf(const CPENameAndType& nameAndType, const std::string& className) {
    const ConstantPool& pool = *nameAndType.pool;
    const std::string descriptor = pool.text(nameAndType.descriptor_index);
    const std::string name = pool.text(nameAndType.name_index);
    std::vector<std::string> types;
    if (descriptor.empty() || descriptor[0] != '(') {
        parseFieldType(descriptor, types);
        return types.front() + " " + name;
    }
    size_t pos = 1;
    while (pos < descriptor.size() && descriptor[pos] != ')') {
        const size_t length = fieldTypeLength(descriptor, pos);
        parseFieldType(descriptor.substr(pos, length), types);
        pos += length;
    }
    if (pos >= descriptor.size())
        parseFieldType(std::string(), types); // no ")": fails like a missing type
    std::vector<std::string> returned;
    parseFieldType(descriptor.substr(pos + 1), returned);

    std::string result = returned.front();
    result += ' ';
    result += name == names::Init ? className : name;
    result += '(';
    for (size_t i = 0; i < types.size(); ++i) {
        if (i != 0)
            result += ", ";
        result += types[i];
    }
    result += ')';
    return result;
}

std::string localDescription(const LocalVariableInfo& row) {
    const ConstantPool& pool = *row.pool;
    if (pool.find(row.name_index) == nullptr || pool.find(row.descriptor_index) == nullptr)
        return {};
    std::vector<std::string> types;
    parseFieldType(pool.text(row.descriptor_index), types);
    return "Local " + types.front() + " " + pool.text(row.name_index);
}

void CPEUtf8::print(std::ostream& out) const {
    out << "{tag=Utf8; value=\"" << value << "\"}";
}

void CPEUnicode::print(std::ostream& out) const {
    out << value << "[Unicode]";
}

void CPEInteger::print(std::ostream& out) const {
    out << "{tag=Integer; value=" << value << "}";
}

void CPEFloat::print(std::ostream& out) const {
    out << "{tag=Float; value=" << value << "}";
}

void CPELong::print(std::ostream& out) const {
    out << "{tag=Long; value=" << value << "}";
}

void CPEDouble::print(std::ostream& out) const {
    out << "{tag=Double; value=" << value << "}";
}

void CPEClass::print(std::ostream& out) const {
    out << "{tag=Class; name_index=" << name_index;
    if (name_index != 0)
        writeSlotName(out, *pool, name_index);
    out << "}";
}

void CPEString::print(std::ostream& out) const {
    out << "{tag=String; string_index=" << string_index;
    writeSlotName(out, *pool, string_index);
    out << "}";
}

void CPEFieldRef::print(std::ostream& out) const {
    out << "{tag=Field";
    writeRefTail(out, *this);
}

void CPEMethodRef::print(std::ostream& out) const {
    out << "{tag=Method";
    writeRefTail(out, *this);
}

void CPEInterfaceMethodRef::print(std::ostream& out) const {
    out << "{tag=InterfaceMethodRef";
    writeRefTail(out, *this);
}

void CPENameAndType::print(std::ostream& out) const {
    out << "{tag=NameAndType; name_index=" << name_index
        << "; descriptor_index=" << descriptor_index << "}";
}

std::string ConstantPoolEntry::describe() const {
    return {};
}

std::string CPEInteger::describe() const {
    return "Integer " + std::to_string(value);
}

std::string CPEFloat::describe() const {
    return "Float " + defaultReal(value);
}

std::string CPELong::describe() const {
    return "Long " + std::to_string(value);
}

std::string CPEDouble::describe() const {
    return "Double " + defaultReal(value);
}

std::string CPEString::describe() const {
    return "\"" + toString() + "\"";
}

std::string CPEClass::describe() const {
    const ClassInfo* owner = pool->owner;
    const bool isInterface = owner != nullptr && owner->isInterfaceOf(this);
    return (isInterface ? "Interface " : "Class ") + sourceForm(toString());
}

std::string CPENameAndType::describe() const {
    // The constructor of the current class is named by the class's own
    // operand text, so it reads "Class a.B" in the listing.
    // A this_class index naming a name-and-type entry would lead back here.
    const ConstantPoolEntry* current = pool->find(static_cast<size_t>(pool->thisClassIndex));
    const bool describable = current != nullptr && current->tag != TAG_NAME_AND_TYPE;
    return signatureOf(*this, describable ? current->describe() : std::string());
}

std::string CPEMethodRef::describe() const {
    const auto& nameAndType = pool->as<CPENameAndType>(name_and_type_index);
    return "Method " + signatureOf(nameAndType, sourceForm(pool->text(class_index)));
}

} // namespace classfile
