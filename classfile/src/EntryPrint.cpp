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

void writeSlotName(TextWriter& out, const ConstantPool& pool, uint32_t i) {
    const ConstantPoolEntry* entry = pool.find(i);
    if (entry == nullptr)
        return;
    // Most names are strings, or classes and literals naming one: their text
    // is written without a copy.
    uint32_t named = i;
    if (entry->tag == TAG_CLASS)
        named = static_cast<const CPEClass*>(entry)->name_index;
    else if (entry->tag == TAG_STRING)
        named = static_cast<const CPEString*>(entry)->string_index;
    const ConstantPoolEntry* text = named == i ? entry : pool.find(named);
    if (text != nullptr && text->tag == TAG_UTF8) {
        out << " [" << static_cast<const CPEUtf8*>(text)->value << "]";
        return;
    }
    // The text first: if it cannot be produced, nothing of the bracket is written.
    const std::string value = pool.text(i);
    out << " [" << value << "]";
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

namespace {

void writeUtf8(TextWriter& out, const CPEUtf8& e) {
    out << "{tag=Utf8; value=\"" << e.value << "\"}";
}

void writeUnicode(TextWriter& out, const CPEUnicode& e) {
    out << e.value << "[Unicode]";
}

template <typename Number>
void writeNumber(TextWriter& out, const char* tag, Number value) {
    out << "{tag=" << tag << "; value=" << value << "}";
}

void writeClass(TextWriter& out, const CPEClass& e) {
    out << "{tag=Class; name_index=" << e.name_index;
    if (e.name_index != 0)
        writeSlotName(out, *e.pool, e.name_index);
    out << "}";
}

void writeString(TextWriter& out, const CPEString& e) {
    out << "{tag=String; string_index=" << e.string_index;
    writeSlotName(out, *e.pool, e.string_index);
    out << "}";
}

void writeRef(TextWriter& out, const char* tag, const CPERef& ref) {
    out << "{tag=" << tag << "; classIndex=" << ref.class_index << "; "
        << "nameAndTypeIndex=" << ref.name_and_type_index << "}";
}

void writeNameAndType(TextWriter& out, const CPENameAndType& e) {
    out << "{tag=NameAndType; name_index=" << e.name_index
        << "; descriptor_index=" << e.descriptor_index << "}";
}

} // namespace

// The tag names the class of the entry: the reader creates one class per tag.
void writeEntry(TextWriter& out, const ConstantPoolEntry& entry) {
    switch (entry.tag) {
    case TAG_UTF8:
        return writeUtf8(out, static_cast<const CPEUtf8&>(entry));
    case TAG_UNICODE:
        return writeUnicode(out, static_cast<const CPEUnicode&>(entry));
    case TAG_INTEGER:
        return writeNumber(out, "Integer", static_cast<const CPEInteger&>(entry).value);
    case TAG_FLOAT:
        return writeNumber(out, "Float", static_cast<const CPEFloat&>(entry).value);
    case TAG_LONG:
        return writeNumber(out, "Long", static_cast<const CPELong&>(entry).value);
    case TAG_DOUBLE:
        return writeNumber(out, "Double", static_cast<const CPEDouble&>(entry).value);
    case TAG_CLASS:
        return writeClass(out, static_cast<const CPEClass&>(entry));
    case TAG_STRING:
        return writeString(out, static_cast<const CPEString&>(entry));
    case TAG_FIELDREF:
        return writeRef(out, "Field", static_cast<const CPERef&>(entry));
    case TAG_METHODREF:
        return writeRef(out, "Method", static_cast<const CPERef&>(entry));
    case TAG_INTERFACE_METHODREF:
        return writeRef(out, "InterfaceMethodRef", static_cast<const CPERef&>(entry));
    case TAG_NAME_AND_TYPE:
        return writeNameAndType(out, static_cast<const CPENameAndType&>(entry));
    }
    // Not reached: the reader knows only the tags above.
    out << "{tag=" << static_cast<unsigned>(entry.tag) << "}";
}

// Each entry's print goes through the one dispatch, so the record and the
// whole-class dump cannot differ.
#define ZUL_PRINT_THROUGH_DISPATCH(Class)                                                          \
    void Class::print(std::ostream& stream) const {                                                \
        TextWriter out(stream);                                                                    \
        writeEntry(out, *this);                                                                    \
    }
ZUL_PRINT_THROUGH_DISPATCH(CPEUtf8)
ZUL_PRINT_THROUGH_DISPATCH(CPEUnicode)
ZUL_PRINT_THROUGH_DISPATCH(CPEInteger)
ZUL_PRINT_THROUGH_DISPATCH(CPEFloat)
ZUL_PRINT_THROUGH_DISPATCH(CPELong)
ZUL_PRINT_THROUGH_DISPATCH(CPEDouble)
ZUL_PRINT_THROUGH_DISPATCH(CPEClass)
ZUL_PRINT_THROUGH_DISPATCH(CPEString)
ZUL_PRINT_THROUGH_DISPATCH(CPEFieldRef)
ZUL_PRINT_THROUGH_DISPATCH(CPEMethodRef)
ZUL_PRINT_THROUGH_DISPATCH(CPEInterfaceMethodRef)
ZUL_PRINT_THROUGH_DISPATCH(CPENameAndType)
#undef ZUL_PRINT_THROUGH_DISPATCH

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
