// Dumps of attributes. Their layout (indentation, separators, which lists
// are closed) is fixed text that existing readers of the dump rely on.
#include "DumpText.h"

#include "classfile/Annotation.h"
#include "classfile/Attributes.h"
#include "classfile/ConstantPool.h"

#include "util/Text.h"

#include <ostream>
#include <string>

namespace classfile {

namespace {

// Inner-class access flags with the word shown for each, in display order.
struct FlagWord {
    uint16_t bit;
    const char* word;
};
constexpr FlagWord kInnerClassFlags[] = {
#define ZUL_INNER_CLASS_FLAG(bit, word) {bit, word},
#include "InnerClassFlags.def"
};

void writeHeader(TextWriter& out, const Attribute& a) {
    out << "name=" << a.name << "; attribute_length=" << a.attribute_length;
}

// The lists whose items are written as "[i]={" newline, the item, "};",
// closed by two braces on lines of their own.
template <typename List, typename WriteItem>
void writeBlockList(TextWriter& out, const List& list, WriteItem&& writeItem) {
    for (size_t i = 0; i < list.size(); ++i) {
        out << "\n          [" << i << "]={\n";
        writeItem(list[i]);
        out << "          };";
    }
    out << "\n      }\n    }";
}

void writeCode(TextWriter& out, const AttributeCode& code, ListingMode mode, PoolTextCache* cache) {
    writeHeader(out, code);
    out << "; max_stack=" << code.max_stack << "; max_locals=" << code.max_locals
        << "; code_length=" << code.code_length
        << "; exception_table_length=" << code.exception_table_length
        << ";\n          exceptions={\n";
    for (size_t i = 0; i < code.exception_table.size(); ++i) {
        const ExceptionInfo& row = code.exception_table[i];
        out << "            [" << i << "]={start_pc=" << row.start_pc << "; end_pc=" << row.end_pc
            << "; handler_pc=" << row.handler_pc << "; catch_type=" << row.catch_type;
        if (row.catch_type != 0)
            writeSlotName(out, *row.pool, row.catch_type);
        out << "}\n";
    }
    out << "          }\n          code={";
    if (mode != ListingMode::NONE) {
        if (TextBuffer* buffer = out.buffer()) {
            listInstructions(*buffer, code, code.code_length, mode, cache);
        } else {
            TextBuffer listing;
            listInstructions(listing, code, code.code_length, mode, cache);
            out << listing.view();
        }
    }
    out << "\n          }\n"
        << "          attributes_count=" << code.attributes_count << ";\n"
        << "          attributes={";
    for (size_t i = 0; i < code.attributes.size(); ++i) {
        out << "\n        [" << i << "]={";
        writeAttribute(out, *code.attributes[i], mode, cache);
        out << "};";
    }
    out << "\n          }\n        }";
}

void writeConstantValue(TextWriter& out, const AttributeConstantValue& a) {
    writeHeader(out, a);
    out << ", constant_value_index=" << a.constant_value_index;
    writeSlotName(out, *a.pool, a.constant_value_index);
}

void writeInnerClasses(TextWriter& out, const AttributeInnerClasses& a) {
    writeHeader(out, a);
    out << "; number_of_classes=" << a.number_of_classes << ";\n          classes={";
    for (size_t i = 0; i < a.classes.size(); ++i) {
        const InnerClassInfo& row = a.classes[i];
        out << "\n            [" << i << "]={"
            << "\n"
            << "              inner_class_info_index=" << row.inner_class_info_index;
        // Unlike the other indices of the row, this one keeps its brackets
        // when it names no entry (index 0): they are left empty.
        if (row.pool->find(row.inner_class_info_index) != nullptr)
            writeSlotName(out, *row.pool, row.inner_class_info_index);
        else
            out << " []";
        out << ";\n              outer_class_info_index=" << row.outer_class_info_index;
        if (row.outer_class_info_index != 0)
            writeSlotName(out, *row.pool, row.outer_class_info_index);
        out << ";\n              inner_name_index=" << row.inner_name_index;
        if (row.inner_name_index != 0)
            writeSlotName(out, *row.pool, row.inner_name_index);
        out << ";\n              inner_class_access_flags=";
        for (const FlagWord& flag : kInnerClassFlags)
            if (row.inner_class_access_flags & flag.bit)
                out << flag.word;
        out << ";\n            }";
    }
    out << "}";
}

void writeSourceFile(TextWriter& out, const AttributeSourceFile& a) {
    writeHeader(out, a);
    out << "; source_file_index=" << a.source_file_index;
    writeSlotName(out, *a.pool, a.source_file_index);
}

void writeLineNumberTable(TextWriter& out, const AttributeLineNumberTable& a) {
    writeHeader(out, a);
    out << "; line_number_table_length=" << a.line_number_table_length
        << ";\n          line_number_table={";
    for (size_t i = 0; i < a.line_number_table.size(); ++i)
        out << "\n            [" << i << "]="
            << "{start_pc=" << a.line_number_table[i].start_pc
            << "; line_number=" << a.line_number_table[i].line_number << "}";
}

void writeLocalVariableTable(TextWriter& out, const AttributeLocalVariableTable& a) {
    writeHeader(out, a);
    out << "; localVariableTableLength=" << a.local_variable_table.size()
        << "; localVariableTable={";
    writeBlockList(out, a.local_variable_table, [&out](const LocalVariableInfo& row) {
        out << "            start_pc=" << row.start_pc << ";\n"
            << "            length=" << row.length << ";\n"
            << "            name_index=" << row.name_index;
        writeSlotName(out, *row.pool, row.name_index);
        out << ";\n            descriptor_index=" << row.descriptor_index;
        writeSlotName(out, *row.pool, row.descriptor_index);
        out << ";\n            index=" << row.index << ";\n";
    });
}

void writeType(TextWriter& out, const StackMapEntry::Ty& ty) {
    using E = StackMapEntry;
    switch (ty.tag) {
    case 0:
        out << "bogus";
        break;
    case 1:
        out << "integer";
        break;
    case 2:
        out << "float";
        break;
    case 3:
        out << "double";
        break;
    case 4:
        out << "long";
        break;
    case 5:
        out << "null";
        break;
    case 6:
        out << "initObject";
        break;
    case 7:
        if (const auto* object = ty.as<E::TyObject>()) {
            out << "object #" << object->cpool_index;
            writeSlotName(out, *object->pool, object->cpool_index);
        }
        break;
    case 8:
        if (const auto* created = ty.as<E::TyNewObject>())
            out << "newObject @" << created->offset;
        break;
    default:
        out << "type " << static_cast<int>(ty.tag);
        break;
    }
}

void writeTypes(TextWriter& out, const char* label, const StackMapEntry::TyList& types) {
    out << "            " << label << "=[";
    for (size_t i = 0; i < types.size(); ++i) {
        if (i != 0)
            out << ", ";
        writeType(out, *types[i]);
    }
    out << "];\n";
}

void writeStackMap(TextWriter& out, const AttributeStackMap& a) {
    writeHeader(out, a);
    out << "; numberOfEntries=" << a.numberOfEntries << "; entries={";
    writeBlockList(out, a.entries, [&out](const StackMapEntry& entry) {
        out << "            offset=" << entry.offset << ";\n";
        writeTypes(out, "locals", entry.locals);
        writeTypes(out, "stack", entry.stack);
    });
}

void writeUnknown(TextWriter& out, const AttributeUnknown& a) {
    for (size_t i = 0; i < a.info.size(); ++i) {
        if (i % 16 == 0)
            out << '\n';
        out << util::toHexByte(a.info[i]) << ' ';
    }
}

void writeAnnotations(TextWriter& out, const AttributeRuntimeAnnotations& a) {
    writeHeader(out, a);
    out << "; num_annotations=" << a.num_annotations << "; annotations={";
    writeBlockList(out, a.annotations,
                   [&out](const AnnotationInfo* x) { writeAnnotation(out, *x); });
}

void writeParameterAnnotations(TextWriter& out, const AttributeRuntimeParameterAnnotations& a) {
    writeHeader(out, a);
    out << "; num_parametes=" << static_cast<unsigned>(a.num_parameters)
        << "; parameter_annotations={";
    writeBlockList(out, a.parameter_annotations, [&out](const AnnotationList& list) {
        for (const auto& annotation : list)
            writeAnnotation(out, *annotation);
    });
}

} // namespace

// The kind names the class of the attribute: each class sets its own kind.
void writeAttribute(TextWriter& out, const Attribute& a, ListingMode mode, PoolTextCache* cache) {
    switch (a.kind) {
    case AttributeKind::Code:
        return writeCode(out, static_cast<const AttributeCode&>(a), mode, cache);
    case AttributeKind::ConstantValue:
        return writeConstantValue(out, static_cast<const AttributeConstantValue&>(a));
    case AttributeKind::Exceptions:
    case AttributeKind::Synthetic:
    case AttributeKind::Deprecated:
        return writeHeader(out, a);
    case AttributeKind::InnerClasses:
        return writeInnerClasses(out, static_cast<const AttributeInnerClasses&>(a));
    case AttributeKind::SourceFile:
        return writeSourceFile(out, static_cast<const AttributeSourceFile&>(a));
    case AttributeKind::LineNumberTable:
        return writeLineNumberTable(out, static_cast<const AttributeLineNumberTable&>(a));
    case AttributeKind::LocalVariableTable:
        return writeLocalVariableTable(out, static_cast<const AttributeLocalVariableTable&>(a));
    case AttributeKind::StackMap:
        return writeStackMap(out, static_cast<const AttributeStackMap&>(a));
    case AttributeKind::RuntimeVisibleAnnotations:
    case AttributeKind::RuntimeInvisibleAnnotations:
        return writeAnnotations(out, static_cast<const AttributeRuntimeAnnotations&>(a));
    case AttributeKind::RuntimeVisibleParameterAnnotations:
    case AttributeKind::RuntimeInvisibleParameterAnnotations:
        return writeParameterAnnotations(
            out, static_cast<const AttributeRuntimeParameterAnnotations&>(a));
    case AttributeKind::Unknown:
        return writeUnknown(out, static_cast<const AttributeUnknown&>(a));
    }
    // Not reached: every attribute the reader creates has one of the kinds above.
    writeHeader(out, a);
}

void AttributeCode::print(std::ostream& stream) const {
    TextWriter out(stream);
    writeCode(out, *this, ListingMode::LIST, nullptr);
}

// Each attribute's print goes through the one dispatch, so the record and
// the whole-class dump cannot differ.
#define ZUL_PRINT_THROUGH_DISPATCH(Class)                                                          \
    void Class::print(std::ostream& stream) const {                                                \
        TextWriter out(stream);                                                                    \
        writeAttribute(out, *this, ListingMode::LIST, nullptr);                                    \
    }
ZUL_PRINT_THROUGH_DISPATCH(AttributeConstantValue)
ZUL_PRINT_THROUGH_DISPATCH(AttributeExceptions)
ZUL_PRINT_THROUGH_DISPATCH(AttributeInnerClasses)
ZUL_PRINT_THROUGH_DISPATCH(AttributeSynthetic)
ZUL_PRINT_THROUGH_DISPATCH(AttributeSourceFile)
ZUL_PRINT_THROUGH_DISPATCH(AttributeLineNumberTable)
ZUL_PRINT_THROUGH_DISPATCH(AttributeLocalVariableTable)
ZUL_PRINT_THROUGH_DISPATCH(AttributeDeprecated)
ZUL_PRINT_THROUGH_DISPATCH(AttributeStackMap)
ZUL_PRINT_THROUGH_DISPATCH(AttributeUnknown)
ZUL_PRINT_THROUGH_DISPATCH(AttributeRuntimeAnnotations)
ZUL_PRINT_THROUGH_DISPATCH(AttributeRuntimeParameterAnnotations)
#undef ZUL_PRINT_THROUGH_DISPATCH

} // namespace classfile
