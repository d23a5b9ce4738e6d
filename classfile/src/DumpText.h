#pragma once

// What the entry, attribute and annotation dumps and the bytecode listing
// share. Each record's dump has an internal form that writes into a
// TextWriter, so that a whole class is dumped through one writer; the
// records' print operations wrap it.

#include "TextWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace classfile {

class AnnotationInfo;
class Attribute;
class AttributeCode;
class ConstantPool;
class ConstantPoolEntry;
class CPENameAndType;
class LocalVariableInfo;

/// Writes " [" text of pool slot `i` "]"; nothing when the slot is empty or
/// outside the pool, so a bad index shows as its number alone.
void writeSlotName(TextWriter& out, const ConstantPool& pool, uint32_t i);

/// A class name in source form: leading "[" become trailing "[]", and every
/// "$" and "/" becomes ".".
std::string sourceForm(const std::string& internalName);

/// "ret name(params)" for a method descriptor, "type name" for a field
/// descriptor; a constructor is named `className`.
std::string signatureOf(const CPENameAndType& nameAndType, const std::string& className);

/// "Local " type " " name, or empty when the row's name or descriptor slot
/// is empty or outside the pool.
std::string localDescription(const LocalVariableInfo& row);

/// The dump of a pool entry, of an annotation.
void writeEntry(TextWriter& out, const ConstantPoolEntry& entry);
void writeAnnotation(TextWriter& out, const AnnotationInfo& annotation);

/// Whether the Code dump lists the instructions.
enum class ListingMode {
    LIST, ///< as listCode
    NONE, ///< no listing
};

/// Operand texts of pool slots, kept for the listings of one class (the
/// texts of a class do not change).
class PoolTextCache {
public:
    /// The operand text of `entry`, which is slot `index`; a failure to make
    /// it propagates and nothing is kept.
    const std::string& describe(const ConstantPoolEntry& entry, uint32_t index);

private:
    struct Slot {
        bool known = false;
        std::string text;
    };
    std::vector<Slot> mSlots;
};

/// The dump of an attribute; Code attributes list their instructions as `mode` says.
/// `cache` may be null.
void writeAttribute(TextWriter& out, const Attribute& attribute, ListingMode mode,
                    PoolTextCache* cache);

/// Appends the listing of the first `limit` bytes of `code` to `out`.
void listInstructions(TextBuffer& out, const AttributeCode& code, int32_t limit, ListingMode mode,
                      PoolTextCache* cache);

} // namespace classfile
