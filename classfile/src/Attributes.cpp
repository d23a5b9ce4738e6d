#include "classfile/Attributes.h"
#include "classfile/ByteReader.h"
#include "classfile/ConstantPool.h"
#include "classfile/ReadContext.h"

#include "Limits.h"

#include <new>
#include <stdexcept>
#include <string>

namespace classfile {

namespace {

uint16_t be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

} // namespace

AttributeCode::AttributeCode(ReadContext& context, unsigned depth) : Attribute(KIND) {
    ByteReader& in = context.in;
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
    const auto codeSize = static_cast<size_t>(code_length);
    code = RecordList<uint8_t>(in.block(context.arena, codeSize), codeSize);

    exception_table_length = in.u2();
    RecordListBuilder<ExceptionInfo> rows(context.arena, in.capacityFor(exception_table_length, 8));
    for (uint32_t i = 0; i < exception_table_length; ++i) {
        ExceptionInfo& row = rows.emplace_back();
        row.start_pc = in.u2();
        row.end_pc = in.u2();
        row.handler_pc = in.u2();
        row.catch_type = in.u2();
        row.pool = context.pool;
    }
    exception_table = rows.list();

    attributes_count = in.u2();
    attributes = readAttributes(context, attributes_count, depth + 1);
    for (const Attribute* attribute : attributes) {
        switch (attribute->kind) {
        case AttributeKind::LocalVariableTable:
            localVariableTable = static_cast<const AttributeLocalVariableTable*>(attribute);
            break;
        case AttributeKind::LineNumberTable:
            lineNumberTable = static_cast<const AttributeLineNumberTable*>(attribute);
            break;
        case AttributeKind::StackMap:
            stackMap = static_cast<const AttributeStackMap*>(attribute);
            break;
        default:
            break;
        }
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

AttributeConstantValue::AttributeConstantValue(ReadContext& context)
    : Attribute(KIND), constant_value_index(context.in.u2()) {}

AttributeExceptions::AttributeExceptions(ReadContext& context) : Attribute(KIND) {
    ByteReader& in = context.in;
    number_of_exceptions = in.u2();
    RecordListBuilder<uint32_t> indices(context.arena, in.capacityFor(number_of_exceptions, 2));
    for (uint32_t i = 0; i < number_of_exceptions; ++i)
        indices.push_back(in.u2());
    exception_index_table = indices.list();
}

AttributeInnerClasses::AttributeInnerClasses(ReadContext& context) : Attribute(KIND) {
    ByteReader& in = context.in;
    number_of_classes = in.u2();
    RecordListBuilder<InnerClassInfo> rows(context.arena, in.capacityFor(number_of_classes, 8));
    for (uint32_t i = 0; i < number_of_classes; ++i) {
        InnerClassInfo& row = rows.emplace_back();
        row.position = i;
        row.inner_class_info_index = in.u2();
        row.outer_class_info_index = in.u2();
        row.inner_name_index = in.u2();
        row.inner_class_access_flags = in.u2();
        row.pool = context.pool;
    }
    classes = rows.list();
}

AttributeSourceFile::AttributeSourceFile(ReadContext& context)
    : Attribute(KIND), source_file_index(context.in.u2()) {}

AttributeLineNumberTable::AttributeLineNumberTable(ReadContext& context) : Attribute(KIND) {
    ByteReader& in = context.in;
    line_number_table_length = in.u2();
    const uint16_t count = line_number_table_length;
    // Rows are read straight from the buffer when it holds them all.
    if (const uint8_t* p = in.peek(size_t{count} * 4)) {
        auto* rows = context.arena.array<LineNumberInfo>(count);
        for (uint32_t i = 0; i < count; ++i, p += 4) {
            LineNumberInfo& row = *new (rows + i) LineNumberInfo;
            row.position = i;
            row.start_pc = be16(p);
            row.line_number = be16(p + 2);
        }
        in.skip(size_t{count} * 4);
        line_number_table = RecordList<LineNumberInfo>(rows, count);
        return;
    }
    RecordListBuilder<LineNumberInfo> rows(context.arena, in.capacityFor(count, 4));
    for (uint32_t i = 0; i < count; ++i) {
        LineNumberInfo& row = rows.emplace_back();
        row.position = i;
        row.start_pc = in.u2();
        row.line_number = in.u2();
    }
    line_number_table = rows.list();
}

AttributeLocalVariableTable::AttributeLocalVariableTable(ReadContext& context) : Attribute(KIND) {
    ByteReader& in = context.in;
    const uint16_t count = in.u2();
    if (const uint8_t* p = in.peek(size_t{count} * 10)) {
        auto* rows = context.arena.array<LocalVariableInfo>(count);
        for (uint32_t i = 0; i < count; ++i, p += 10) {
            LocalVariableInfo& row = *new (rows + i) LocalVariableInfo;
            row.position = i;
            row.start_pc = be16(p);
            row.length = be16(p + 2);
            row.name_index = be16(p + 4);
            row.descriptor_index = be16(p + 6);
            row.index = be16(p + 8);
            row.pool = context.pool;
        }
        in.skip(size_t{count} * 10);
        local_variable_table = RecordList<LocalVariableInfo>(rows, count);
        return;
    }
    RecordListBuilder<LocalVariableInfo> rows(context.arena, in.capacityFor(count, 10));
    for (uint32_t i = 0; i < count; ++i) {
        LocalVariableInfo& row = rows.emplace_back();
        row.position = i;
        row.start_pc = in.u2();
        row.length = in.u2();
        row.name_index = in.u2();
        row.descriptor_index = in.u2();
        row.index = in.u2();
        row.pool = context.pool;
    }
    local_variable_table = rows.list();
}

AttributeUnknown::AttributeUnknown(ReadContext& context, uint32_t length) : Attribute(KIND) {
    info = RecordList<uint8_t>(context.in.block(context.arena, length), length);
}

} // namespace classfile
