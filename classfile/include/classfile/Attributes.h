#pragma once

#include "classfile/Attribute.h"
#include "classfile/Pooled.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace classfile {

class ByteReader;
class ConstantPool;

/// Row of a Code attribute's exception table.
class ExceptionInfo {
public:
    virtual ~ExceptionInfo() = default;
    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo&) = default;
    ExceptionInfo(ExceptionInfo&&) = default;
    ExceptionInfo& operator=(const ExceptionInfo&) = default;
    ExceptionInfo& operator=(ExceptionInfo&&) = default;

    uint16_t start_pc = 0;
    uint16_t end_pc = 0;
    uint16_t handler_pc = 0;
    uint16_t catch_type = 0;
    const ConstantPool* pool = nullptr;
};

/// Row of an InnerClasses attribute.
class InnerClassInfo {
public:
    virtual ~InnerClassInfo() = default;
    InnerClassInfo() = default;
    InnerClassInfo(const InnerClassInfo&) = default;
    InnerClassInfo(InnerClassInfo&&) = default;
    InnerClassInfo& operator=(const InnerClassInfo&) = default;
    InnerClassInfo& operator=(InnerClassInfo&&) = default;

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
    virtual ~LineNumberInfo() = default;
    LineNumberInfo() = default;
    LineNumberInfo(const LineNumberInfo&) = default;
    LineNumberInfo(LineNumberInfo&&) = default;
    LineNumberInfo& operator=(const LineNumberInfo&) = default;
    LineNumberInfo& operator=(LineNumberInfo&&) = default;

    uint32_t position = 0; ///< position in the table, from 0
    uint16_t start_pc = 0;
    uint16_t line_number = 0;
};

/// Row of a LocalVariableTable attribute.
class LocalVariableInfo {
public:
    virtual ~LocalVariableInfo() = default;
    LocalVariableInfo() = default;
    LocalVariableInfo(const LocalVariableInfo&) = default;
    LocalVariableInfo(LocalVariableInfo&&) = default;
    LocalVariableInfo& operator=(const LocalVariableInfo&) = default;
    LocalVariableInfo& operator=(LocalVariableInfo&&) = default;

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
    /// A verification type; its class is its kind.
    class Ty : public Pooled {
    public:
        virtual ~Ty() = default;
        template <typename T>
        const T* as() const {
            return dynamic_cast<const T*>(this);
        }
        const int8_t tag; ///< the tag as read, 0 to 8

    protected:
        explicit Ty(int8_t t) : tag(t) {}
        Ty(const Ty&) = delete;
        Ty& operator=(const Ty&) = delete;
    };
    class TyBogus : public Ty {
    public:
        TyBogus() : Ty(0) {}
    };
    class TyInteger : public Ty {
    public:
        TyInteger() : Ty(1) {}
    };
    class TyFloat : public Ty {
    public:
        TyFloat() : Ty(2) {}
    };
    class TyDouble : public Ty {
    public:
        TyDouble() : Ty(3) {}
    };
    class TyLong : public Ty {
    public:
        TyLong() : Ty(4) {}
    };
    class TyNull : public Ty {
    public:
        TyNull() : Ty(5) {}
    };
    class TyInitObject : public Ty {
    public:
        TyInitObject() : Ty(6) {}
    };
    /// An object of the class in pool slot `cpool_index`.
    class TyObject : public Ty {
    public:
        TyObject(uint16_t index, const ConstantPool* p) : Ty(7), cpool_index(index), pool(p) {}
        uint16_t cpool_index;
        const ConstantPool* pool;
    };
    /// An object not yet initialised, created by the instruction at `offset`.
    class TyNewObject : public Ty {
    public:
        explicit TyNewObject(uint16_t off) : Ty(8), offset(off) {}
        uint16_t offset;
    };
    using TyList = std::vector<std::unique_ptr<Ty>>;

    StackMapEntry() = default;
    virtual ~StackMapEntry() = default;
    StackMapEntry(StackMapEntry&&) = default;
    StackMapEntry& operator=(StackMapEntry&&) = default;

    uint16_t offset = 0;
    TyList locals;
    TyList stack;
};

/// Reads one verification type and appends it to `list`.
void readTy(StackMapEntry::TyList& list, ByteReader& in, const ConstantPool& pool);

class AttributeLineNumberTable;
class AttributeLocalVariableTable;
class AttributeStackMap;

/// "Code": a method's bytecode, exception table and nested attributes.
class AttributeCode : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Code;
    /// `depth` counts the Code attributes this one is nested in.
    AttributeCode(ByteReader& in, const ConstantPool& pool, unsigned depth = 0);
    void print(std::ostream& out) const override;

    /// The first local-variable row for `slot`, or null.
    const LocalVariableInfo* findLocalVariable(uint32_t slot) const;
    /// Instruction listing of the first `limit` bytes of the code.
    std::string listCode(int32_t limit) const;

    uint16_t max_stack = 0;
    uint16_t max_locals = 0;
    int32_t code_length = 0;
    std::vector<uint8_t> code;
    uint16_t exception_table_length = 0;
    RecordVector<ExceptionInfo> exception_table;
    uint16_t attributes_count = 0;
    AttributeList attributes;
    /// The last attribute of each of these kinds among `attributes`, or null.
    const AttributeStackMap* stackMap = nullptr;
    const AttributeLineNumberTable* lineNumberTable = nullptr;
    const AttributeLocalVariableTable* localVariableTable = nullptr;
};

/// "ConstantValue".
class AttributeConstantValue : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::ConstantValue;
    explicit AttributeConstantValue(ByteReader& in);
    void print(std::ostream& out) const override;
    uint16_t constant_value_index = 0;
};

/// "Exceptions": the classes a method declares it throws.
class AttributeExceptions : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Exceptions;
    explicit AttributeExceptions(ByteReader& in);
    void print(std::ostream& out) const override;
    uint16_t number_of_exceptions = 0;
    std::vector<uint32_t> exception_index_table;
};

/// "InnerClasses".
class AttributeInnerClasses : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::InnerClasses;
    AttributeInnerClasses(ByteReader& in, const ConstantPool& pool);
    void print(std::ostream& out) const override;
    uint16_t number_of_classes = 0;
    std::vector<InnerClassInfo> classes;
};

/// "Synthetic".
class AttributeSynthetic : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Synthetic;
    AttributeSynthetic() : Attribute(KIND) {}
    void print(std::ostream& out) const override;
};

/// "SourceFile".
class AttributeSourceFile : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::SourceFile;
    explicit AttributeSourceFile(ByteReader& in);
    void print(std::ostream& out) const override;
    uint16_t source_file_index = 0;
};

/// "LineNumberTable".
class AttributeLineNumberTable : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::LineNumberTable;
    explicit AttributeLineNumberTable(ByteReader& in);
    void print(std::ostream& out) const override;
    uint16_t line_number_table_length = 0;
    RecordVector<LineNumberInfo> line_number_table;
};

/// "LocalVariableTable"; the row count is the list's size.
class AttributeLocalVariableTable : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::LocalVariableTable;
    AttributeLocalVariableTable(ByteReader& in, const ConstantPool& pool);
    void print(std::ostream& out) const override;
    RecordVector<LocalVariableInfo> local_variable_table;
};

/// "Deprecated".
class AttributeDeprecated : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Deprecated;
    AttributeDeprecated() : Attribute(KIND) {}
    void print(std::ostream& out) const override;
};

/// "StackMap" of the limited-device profile (the later StackMapTable is kept
/// as an unknown attribute).
class AttributeStackMap : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::StackMap;
    AttributeStackMap(ByteReader& in, const ConstantPool& pool);
    void print(std::ostream& out) const override;
    uint16_t numberOfEntries = 0;
    std::vector<StackMapEntry> entries;
};

/// Any attribute of a name the reader does not know: its raw bytes.
class AttributeUnknown : public Attribute {
public:
    static constexpr AttributeKind KIND = AttributeKind::Unknown;
    AttributeUnknown(ByteReader& in, uint32_t length);
    void print(std::ostream& out) const override;
    std::vector<uint8_t> info;
};

} // namespace classfile
