#pragma once

#include "classfile/RecordArena.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace classfile {

class ConstantPool;
struct ReadContext;

/// Constant-pool tags known to the reader. Tag 2 is the program's own
/// length-prefixed byte entry; the standard's later tags are not accepted.
enum PoolTag : uint8_t {
    TAG_UTF8 = 1,
    TAG_UNICODE = 2,
    TAG_INTEGER = 3,
    TAG_FLOAT = 4,
    TAG_LONG = 5,
    TAG_DOUBLE = 6,
    TAG_CLASS = 7,
    TAG_STRING = 8,
    TAG_FIELDREF = 9,
    TAG_METHODREF = 10,
    TAG_INTERFACE_METHODREF = 11,
    TAG_NAME_AND_TYPE = 12,
};

/// One constant-pool entry. Entries turn themselves into text with toString,
/// following the indices they hold through their pool. Entries live in their
/// class's arena and go with it: none is ever deleted on its own.
class ConstantPoolEntry {
public:
    /// The entry's value as narrow text; referring entries follow their indices.
    virtual std::string toString() const = 0;
    /// Check made once after the whole class is read; nothing by default.
    virtual void resolve() const;
    /// The entry's tagged dump.
    virtual void print(std::ostream& out) const = 0;
    /// Operand text for the bytecode listing; empty by default.
    virtual std::string describe() const;

    /// Equality is not implemented: always false. Comparing with a class entry
    /// writes a line saying so to the standard error stream.
    bool operator==(const ConstantPoolEntry& other) const { return equal(this, other); }
    bool operator!=(const ConstantPoolEntry& other) const { return !(*this == other); }
    /// The same stub for a left side that may be an empty slot (null).
    static bool equal(const ConstantPoolEntry* entry, const ConstantPoolEntry& other);

    /// The entry as a `T` (a CPE class or CPERef), or null when it is not one.
    template <typename T>
    const T* as() const {
        return dynamic_cast<const T*>(this);
    }
    template <typename T>
    bool is() const {
        return as<T>() != nullptr;
    }

    // The slot number and tag share a word.
    uint32_t index = 0;                 ///< the entry's own slot number
    PoolTag tag;                        ///< kind of entry, as read from the file
    const ConstantPool* pool = nullptr; ///< the pool that holds it

protected:
    explicit ConstantPoolEntry(PoolTag t) : tag(t) {}
    ~ConstantPoolEntry() = default;
    ConstantPoolEntry(const ConstantPoolEntry&) = delete;
    ConstantPoolEntry& operator=(const ConstantPoolEntry&) = delete;
};

/// Tag 1: the bytes of a modified-UTF-8 string, kept exactly as stored.
class CPEUtf8 final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_UTF8;
    explicit CPEUtf8(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    /// The text, in the class's arena.
    std::string_view value;
};

/// Tag 2: a byte string with a 4-byte length.
class CPEUnicode final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_UNICODE;
    explicit CPEUnicode(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    /// The bytes as read, in the class's arena; `value` views the same bytes
    /// as text.
    RecordList<uint8_t> bytes;
    std::string_view value;
};

/// Tag 3.
class CPEInteger final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_INTEGER;
    explicit CPEInteger(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    int32_t value = 0;
};

/// Tag 4: an IEEE single from the 32 bits as stored.
class CPEFloat final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_FLOAT;
    explicit CPEFloat(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    float value = 0;
};

/// Tag 5: takes two slots.
class CPELong final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_LONG;
    explicit CPELong(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    int64_t value = 0;
};

/// Tag 6: an IEEE double from the 64 bits as stored; takes two slots.
class CPEDouble final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_DOUBLE;
    explicit CPEDouble(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    double value = 0;
};

/// Tag 7: a class named by a pool slot (internal form, "/" between packages).
class CPEClass final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_CLASS;
    explicit CPEClass(ReadContext& context);
    std::string toString() const override;
    /// Fails with status 31 when name_index lies outside the pool.
    void resolve() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    uint16_t name_index = 0;
};

/// Tag 8: a string literal whose text is a pool slot.
class CPEString final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_STRING;
    explicit CPEString(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    uint32_t string_index = 0;
};

/// Common part of field, method and interface-method references. Its text
/// checks, on every call, that the class slot holds a CPEClass and the
/// name-and-type slot a CPENameAndType.
class CPERef : public ConstantPoolEntry {
public:
    std::string toString() const override;
    /// The checks of toString: writes a line to the standard error stream
    /// and throws std::runtime_error when a slot holds the wrong kind.
    void checkSlots() const;
    uint32_t class_index = 0;
    uint32_t name_and_type_index = 0;

protected:
    CPERef(PoolTag t, ReadContext& context);
    ~CPERef() = default;
};

/// Tag 9.
class CPEFieldRef final : public CPERef {
public:
    static constexpr PoolTag TAG = TAG_FIELDREF;
    explicit CPEFieldRef(ReadContext& context) : CPERef(TAG, context) {}
    void print(std::ostream& out) const override;
};

/// Tag 10.
class CPEMethodRef final : public CPERef {
public:
    static constexpr PoolTag TAG = TAG_METHODREF;
    explicit CPEMethodRef(ReadContext& context) : CPERef(TAG, context) {}
    void print(std::ostream& out) const override;
    std::string describe() const override;
};

/// Tag 11.
class CPEInterfaceMethodRef final : public CPERef {
public:
    static constexpr PoolTag TAG = TAG_INTERFACE_METHODREF;
    explicit CPEInterfaceMethodRef(ReadContext& context) : CPERef(TAG, context) {}
    void print(std::ostream& out) const override;
};

/// Tag 12: a member's name and descriptor.
class CPENameAndType final : public ConstantPoolEntry {
public:
    static constexpr PoolTag TAG = TAG_NAME_AND_TYPE;
    explicit CPENameAndType(ReadContext& context);
    std::string toString() const override;
    void print(std::ostream& out) const override;
    std::string describe() const override;
    uint32_t name_index = 0;
    uint32_t descriptor_index = 0;
};

} // namespace classfile
