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

void writeHeader(std::ostream& out, const Attribute& a) {
    out << "name=" << a.name << "; attribute_length=" << a.attribute_length;
}

// The lists whose items are written as "[i]={" newline, the item, "};",
// closed by two braces on lines of their own.
template <typename List, typename WriteItem>
void writeBlockList(std::ostream& out, const List& list, WriteItem&& writeItem) {
    for (size_t i = 0; i < list.size(); ++i) {
        out << "\n          [" << i << "]={\n";
        writeItem(list[i]);
        out << "          };";
    }
    out << "\n      }\n    }";
}

void writeType(std::ostream& out, const StackMapEntry::Ty& ty) {
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

void writeTypes(std::ostream& out, const char* label, const StackMapEntry::TyList& types) {
    out << "            " << label << "=[";
    for (size_t i = 0; i < types.size(); ++i) {
        if (i != 0)
            out << ", ";
        writeType(out, *types[i]);
    }
    out << "];\n";
}

} // namespace

void printCode(std::ostream& out, const AttributeCode& code, ListingMode mode) {
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
    if (mode != ListingMode::NONE)
        out << listInstructions(code, code.code_length, mode);
    out << "\n          }\n"
        << "          attributes_count=" << code.attributes_count << ";\n"
        << "          attributes={";
    for (size_t i = 0; i < code.attributes.size(); ++i) {
        out << "\n        [" << i << "]={";
        if (const auto* nested = code.attributes[i]->as<AttributeCode>())
            printCode(out, *nested, mode);
        else
            code.attributes[i]->print(out);
        out << "};";
    }
    out << "\n          }\n        }";
}

void AttributeCode::print(std::ostream& out) const {
    printCode(out, *this, ListingMode::STRICT);
}

void AttributeConstantValue::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << ", constant_value_index=" << constant_value_index;
    writeSlotName(out, *pool, constant_value_index);
}

void AttributeExceptions::print(std::ostream& out) const {
    writeHeader(out, *this);
}

void AttributeInnerClasses::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; number_of_classes=" << number_of_classes << ";\n          classes={";
    for (size_t i = 0; i < classes.size(); ++i) {
        const InnerClassInfo& row = classes[i];
        out << "\n            [" << i << "]={"
            << "\n"
            << "              inner_class_info_index=" << row.inner_class_info_index;
        writeSlotName(out, *row.pool, row.inner_class_info_index);
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

void AttributeSynthetic::print(std::ostream& out) const {
    writeHeader(out, *this);
}

void AttributeSourceFile::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; source_file_index=" << source_file_index;
    writeSlotName(out, *pool, source_file_index);
}

void AttributeLineNumberTable::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; line_number_table_length=" << line_number_table_length
        << ";\n          line_number_table={";
    for (size_t i = 0; i < line_number_table.size(); ++i)
        out << "\n            [" << i << "]="
            << "{start_pc=" << line_number_table[i].start_pc
            << "; line_number=" << line_number_table[i].line_number << "}";
}

void AttributeLocalVariableTable::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; localVariableTableLength=" << local_variable_table.size() << "; localVariableTable={";
    writeBlockList(out, local_variable_table, [&out](const LocalVariableInfo& row) {
        out << "            start_pc=" << row.start_pc << ";\n"
            << "            length=" << row.length << ";\n"
            << "            name_index=" << row.name_index;
        writeSlotName(out, *row.pool, row.name_index);
        out << ";\n            descriptor_index=" << row.descriptor_index;
        writeSlotName(out, *row.pool, row.descriptor_index);
        out << ";\n            index=" << row.index << ";\n";
    });
}

void AttributeDeprecated::print(std::ostream& out) const {
    writeHeader(out, *this);
}

void AttributeStackMap::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; numberOfEntries=" << numberOfEntries << "; entries={";
    writeBlockList(out, entries, [&out](const StackMapEntry& entry) {
        out << "            offset=" << entry.offset << ";\n";
        writeTypes(out, "locals", entry.locals);
        writeTypes(out, "stack", entry.stack);
    });
}

void AttributeUnknown::print(std::ostream& out) const {
    std::string text;
    text.reserve(info.size() * 3 + info.size() / 16 + 1);
    for (size_t i = 0; i < info.size(); ++i) {
        if (i % 16 == 0)
            text += '\n';
        text += util::toHexByte(info[i]);
        text += ' ';
    }
    out << text;
}

void AttributeRuntimeAnnotations::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; num_annotations=" << num_annotations << "; annotations={";
    writeBlockList(out, annotations,
                   [&out](const std::unique_ptr<AnnotationInfo>& a) { a->print(out); });
}

void AttributeRuntimeParameterAnnotations::print(std::ostream& out) const {
    writeHeader(out, *this);
    out << "; num_parametes=" << static_cast<unsigned>(num_parameters)
        << "; parameter_annotations={";
    writeBlockList(out, parameter_annotations, [&out](const AnnotationList& list) {
        for (const auto& annotation : list)
            annotation->print(out);
    });
}

} // namespace classfile
