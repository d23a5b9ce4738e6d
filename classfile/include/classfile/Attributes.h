#pragma once

#include "classfile/Attribute.h"
#include "classfile/RecordArena.h"

#include <cstdint>
#include <string>

namespace classfile {

class ConstantPool;
struct ReadContext;

/// Row of a Code attribute's exception table.
class ExceptionInfo {
public:
    uint16_t start_pc = 0;
    uint16_t end_pc = 0;
    uint16_t handler_pc = 0;
    uint16_t catch_type = 0;
    const ConstantPool* pool = nullptr;
};

/// Row of an InnerClasses attribute.
class InnerClassInfo {
public:
    uint32_t position = 0; ///< position in the table, from 0
    uint16_t inner_class_info_index = 0;
    uint16_t outer_class_info_index = 0;
    uint16_t inner_name_index = 0;
    uint16_t inner_class_access_flags = 0;
    const ConstantPool* pool = nullptr;
};

/// Row of a LineNumberTable attribute.
class LineNumberInfo {
public:
    uint32_t position = 0; ///< position in the table, from 0
    uint16_t start_pc = 0;
    uint16_t line_number = 0;
};

/// Row of a LocalVariableTable attribute.
class LocalVariableInfo {
public:
    uint32_t position = 0; ///< position in the table, from 0
    uint16_t start_pc = 0;
    uint16_t length = 0;
    uint16_t name_index = 0;
    uint16_t descriptor_index = 0;
    uint16_t index = 0; ///< the local-variable slot
    const ConstantPool* pool = nullptr;
};

/// One frame of a (CLDC) StackMap attribute: the verification types of the
/// locals and of the operand stack at a bytecode offset.
class StackMapEntry {
public:
    /// A verification type; its class is its kind, told by its tag.
    class Ty {
    public:
        /// The type as a `T`, or null when it is another kind.
        template <typename T>
        const T* as() const {
            return tag == T::TAG ? static_cast<const T*>(this) : nullptr;
        }
        const int8_t tag; ///< the tag as read, 0 to 8

    protected:
        explicit Ty(int8_t t) : tag(t) {}
        ~Ty() = default;
        Ty(const Ty&) = delete;
        Ty& operator=(const Ty&) = delete;
    };
    class TyBogus final : public Ty {
    public:
        static constexpr int8_t TAG = 0;
        TyBogus() : Ty(TAG) {}
    };
    class TyInteger final : public Ty {
    public:
        static constexpr int8_t TAG = 1;
        TyInteger() : Ty(TAG) {}
    };
    class TyFloat final : public Ty {
    public:
        static constexpr int8_t TAG = 2;
        TyFloat() : Ty(TAG) {}
    };
    class TyDouble final : public Ty {
    public:
        static constexpr int8_t TAG = 3;
        TyDouble() : Ty(TAG) {}
    };
    class TyLong final : public Ty {
    public:
        static constexpr int8_t TAG = 4;
        TyLong() : Ty(TAG) {}
    };
    class TyNull final : public Ty {
    public:
        static constexpr int8_t TAG = 5;
        TyNull() : Ty(TAG) {}
    };
    class TyInitObject final : public Ty {
    public:
        static constexpr int8_t TAG = 6;
        TyInitObject() : Ty(TAG) {}
    };
    /// An object of the class in pool slot `cpool_index`.
    class TyObject final : public Ty {
    public:
        static constexpr int8_t TAG = 7;
        TyObject(uint16_t index, const ConstantPool* p) : Ty(TAG), cpool_index(index), pool(p) {}
        uint16_t cpool_index;
        const ConstantPool* pool;
    };
    /// An object not yet initialised, created by the instruction at `offset`.
    class TyNewObject final : public Ty {
    public:
        static constexpr int8_t TAG = 8;
        explicit TyNewObject(uint16_t off) : Ty(TAG), offset(off) {}
        uint16_t offset;
    };
    /// Verification types, made in the class's arena.
    using TyList = RecordList<const Ty*>;

    uint16_t offset = 0;
    TyList locals;
    TyList stack;
};

/// Reads one verification type with the context's pool and appends it to `list`.
void readTy(RecordListBuilder<const StackMapEntry::Ty*>& list, ReadContext& context);

class AttributeLineNumberTable;
class AttributeLocalVariableTable;
class AttributeStackMap;

/// "Code": a method's bytecode, exception table and nested attributes.
class AttributeCode final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Code;
    /// `depth` counts the Code attributes this one is nested in.
    AttributeCode(ReadContext& context, unsigned depth = 0);
    void print(std::ostream& out) const override;

    /// The first local-variable row for `slot`, or null.
    const LocalVariableInfo* findLocalVariable(uint32_t slot) const;
    /// Instruction listing of the first `limit` bytes of the code.
    std::string listCode(int32_t limit) const;

    // The counts come first so that they share two words.
    uint16_t max_stack = 0;
    uint16_t max_locals = 0;
    uint16_t exception_table_length = 0;
    uint16_t attributes_count = 0;
    int32_t code_length = 0;
    RecordList<uint8_t> code;
    RecordList<ExceptionInfo> exception_table;
    AttributeList attributes;
    /// The last attribute of each of these kinds among `attributes`, or null.
    const AttributeStackMap* stackMap = nullptr;
    const AttributeLineNumberTable* lineNumberTable = nullptr;
    const AttributeLocalVariableTable* localVariableTable = nullptr;
};

/// "ConstantValue".
class AttributeConstantValue final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::ConstantValue;
    explicit AttributeConstantValue(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t constant_value_index = 0;
};

/// "Exceptions": the classes a method declares it throws.
class AttributeExceptions final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Exceptions;
    explicit AttributeExceptions(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t number_of_exceptions = 0;
    RecordList<uint32_t> exception_index_table;
};

/// "InnerClasses".
class AttributeInnerClasses final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::InnerClasses;
    explicit AttributeInnerClasses(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t number_of_classes = 0;
    RecordList<InnerClassInfo> classes;
};

/// "Synthetic".
class AttributeSynthetic final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Synthetic;
    AttributeSynthetic() : Attribute(KIND) {}
    void print(std::ostream& out) const override;
};

/// "SourceFile".
class AttributeSourceFile final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::SourceFile;
    explicit AttributeSourceFile(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t source_file_index = 0;
};

/// "LineNumberTable".
class AttributeLineNumberTable final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::LineNumberTable;
    explicit AttributeLineNumberTable(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t line_number_table_length = 0;
    RecordList<LineNumberInfo> line_number_table;
};

/// "LocalVariableTable"; the row count is the list's size.
class AttributeLocalVariableTable final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::LocalVariableTable;
    explicit AttributeLocalVariableTable(ReadContext& context);
    void print(std::ostream& out) const override;
    RecordList<LocalVariableInfo> local_variable_table;
};

/// "Deprecated".
class AttributeDeprecated final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Deprecated;
    AttributeDeprecated() : Attribute(KIND) {}
    void print(std::ostream& out) const override;
};

/// "StackMap" of the limited-device profile (the later StackMapTable is kept
/// as an unknown attribute).
class AttributeStackMap final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::StackMap;
    explicit AttributeStackMap(ReadContext& context);
    void print(std::ostream& out) const override;
    uint16_t numberOfEntries = 0;
    RecordList<StackMapEntry> entries;
};

/// Any attribute of a name the reader does not know: its raw bytes.
class AttributeUnknown final : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Unknown;
    AttributeUnknown(ReadContext& context, uint32_t length);
    void print(std::ostream& out) const override;
    RecordList<uint8_t> info;
};

} // namespace classfile
