#pragma once

// Text pieces shared by the entry, attribute and annotation dumps and the
// bytecode listing.

#include <charconv>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace classfile {

class AttributeCode;
class ConstantPool;
class CPENameAndType;
class LocalVariableInfo;

/// Appends a decimal number.
inline void appendNumber(std::string& out, int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

/// Writes " [" text of pool slot `i` "]"; nothing when the slot is empty or
/// outside the pool, so a bad index shows as its number alone.
void writeSlotName(std::ostream& out, const ConstantPool& pool, uint32_t i);

/// A class name in source form: leading "[" become trailing "[]", and every
/// "$" and "/" becomes ".".
std::string sourceForm(const std::string& internalName);

/// "ret name(params)" for a method descriptor, "type name" for a field
/// descriptor; a constructor is named `className`.
std::string signatureOf(const CPENameAndType& nameAndType, const std::string& className);

/// "Local " type " " name, or empty when the row's name or descriptor slot
/// is empty or outside the pool.
std::string localDescription(const LocalVariableInfo& row);

/// How the Code dump lists the instructions.
enum class ListingMode {
    STRICT,   ///< as listCode: an operand text that fails ends the dump with its exception
    TOLERANT, ///< an operand text that fails is shown as "<error: message>" in its place
    NONE,     ///< no listing
};

/// The listing of the first `limit` bytes of `code`.
std::string listInstructions(const AttributeCode& code, int32_t limit, ListingMode mode);

/// The Code attribute's dump; nested Code attributes are dumped the same way.
void printCode(std::ostream& out, const AttributeCode& code, ListingMode mode);

} // namespace classfile
