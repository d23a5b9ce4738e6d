#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"

#include "Limits.h"

#include <stdexcept>
#include <string>

namespace classfile {

AttributeCode::AttributeCode(ByteReader& in, const ConstantPool& constantPool, unsigned depth)
    : Attribute(KIND) {
    if (depth >= kMaxCodeDepth)
        throw std::runtime_error("Reading SGB failed: Code attribute at offset " +
                                 std::to_string(in.offset()) + " is nested in " +
                                 std::to_string(depth) + " other Code attributes");
    max_stack = in.u2();
    max_locals = in.u2();
    code_length = static_cast<int32_t>(in.u4());
    if (code_length < 0)
        throw std::length_error("Reading SGB failed: Code attribute at offset " +
                                std::to_string(in.offset() - 4) + " has a negative code_length (" +
                                std::to_string(code_length) + ")");
    in.bytes(code, static_cast<size_t>(code_length));

    exception_table_length = in.u2();
    exception_table.reserve(in.capacityFor(exception_table_length, 8));
    for (uint32_t i = 0; i < exception_table_length; ++i) {
        ExceptionInfo& row = exception_table.emplace_back();
        row.start_pc = in.u2();
        row.end_pc = in.u2();
        row.handler_pc = in.u2();
        row.catch_type = in.u2();
        row.pool = &constantPool;
    }

    attributes_count = in.u2();
    attributes.reserve(in.capacityFor(attributes_count, 6));
    for (uint32_t i = 0; i < attributes_count; ++i) {
        std::unique_ptr<Attribute> attribute = readAttribute(in, i, constantPool, depth + 1);
        switch (attribute->kind) {
        case AttributeKind::LocalVariableTable:
            localVariableTable = static_cast<const AttributeLocalVariableTable*>(attribute.get());
            break;
        case AttributeKind::LineNumberTable:
            lineNumberTable = static_cast<const AttributeLineNumberTable*>(attribute.get());
            break;
        case AttributeKind::StackMap:
            stackMap = static_cast<const AttributeStackMap*>(attribute.get());
            break;
        default:
            break;
        }
        attributes.push_back(std::move(attribute));
    }
}

const LocalVariableInfo* AttributeCode::findLocalVariable(uint32_t slot) const {
    if (localVariableTable == nullptr)
        return nullptr;
    for (const LocalVariableInfo& row : localVariableTable->local_variable_table)
        if (row.index == slot)
            return &row;
    return nullptr;
}

AttributeConstantValue::AttributeConstantValue(ByteReader& in)
    : Attribute(KIND), constant_value_index(in.u2()) {}

AttributeExceptions::AttributeExceptions(ByteReader& in) : Attribute(KIND) {
    number_of_exceptions = in.u2();
    exception_index_table.reserve(in.capacityFor(number_of_exceptions, 2));
    for (uint32_t i = 0; i < number_of_exceptions; ++i)
        exception_index_table.push_back(in.u2());
}

AttributeInnerClasses::AttributeInnerClasses(ByteReader& in, const ConstantPool& constantPool)
    : Attribute(KIND) {
    number_of_classes = in.u2();
    classes.reserve(in.capacityFor(number_of_classes, 8));
    for (uint32_t i = 0; i < number_of_classes; ++i) {
        InnerClassInfo& row = classes.emplace_back();
        row.position = i;
        row.inner_class_info_index = in.u2();
        row.outer_class_info_index = in.u2();
        row.inner_name_index = in.u2();
        row.inner_class_access_flags = in.u2();
        row.pool = &constantPool;
    }
}

AttributeSourceFile::AttributeSourceFile(ByteReader& in)
    : Attribute(KIND), source_file_index(in.u2()) {}

AttributeLineNumberTable::AttributeLineNumberTable(ByteReader& in) : Attribute(KIND) {
    line_number_table_length = in.u2();
    line_number_table.reserve(in.capacityFor(line_number_table_length, 4));
    for (uint32_t i = 0; i < line_number_table_length; ++i) {
        LineNumberInfo& row = line_number_table.emplace_back();
        row.position = i;
        row.start_pc = in.u2();
        row.line_number = in.u2();
    }
}

AttributeLocalVariableTable::AttributeLocalVariableTable(ByteReader& in,
                                                         const ConstantPool& constantPool)
    : Attribute(KIND) {
    const uint16_t count = in.u2();
    local_variable_table.reserve(in.capacityFor(count, 10));
    for (uint32_t i = 0; i < count; ++i) {
        LocalVariableInfo& row = local_variable_table.emplace_back();
        row.position = i;
        row.start_pc = in.u2();
        row.length = in.u2();
        row.name_index = in.u2();
        row.descriptor_index = in.u2();
        row.index = in.u2();
        row.pool = &constantPool;
    }
}

AttributeUnknown::AttributeUnknown(ByteReader& in, uint32_t length) : Attribute(KIND) {
    in.bytes(info, length);
}

} // namespace classfile
