// Dumps of annotations and element values; they call each other for nested
// values, as deep as the reader's nesting bound allows.
#include "DumpText.h"

#include "classfile/Annotation.h"
#include "classfile/ClassInfo.h"
#include "classfile/ConstantPool.h"

#include <ostream>
#include <string>

namespace classfile {

namespace {

void writeElementValue(TextWriter& out, const ElementValue& value) {
    const ConstantPool& pool = value.owner->pool();
    if (value.hasName) {
        out << "name=";
        if (pool.find(value.element_name_index) != nullptr)
            out << pool.text(value.element_name_index);
        out << "; ";
    }
    out << "tag='" << static_cast<char>(value.tag) << "'";
    switch (value.tag) {
    case '@':
        out << " [";
        if (value.annotation_value)
            writeAnnotation(out, *value.annotation_value);
        out << "]";
        break;
    case 'B':
    case 'C':
    case 'D':
    case 'F':
    case 'I':
    case 'J':
    case 'S':
    case 'Z':
    case 's':
        writeSlotName(out, pool, value.const_value_index);
        break;
    case 'c':
        writeSlotName(out, pool, value.class_info_index);
        break;
    case 'e':
        if (pool.find(value.type_name_index) != nullptr &&
            pool.find(value.const_name_index) != nullptr) {
            const std::string type = pool.text(value.type_name_index);
            const std::string constant = pool.text(value.const_name_index);
            out << " [" << type << " " << constant << "]";
        }
        break;
    case '[':
        out << "; num_values=" << value.num_values << "; values=";
        for (size_t i = 0; i < value.values.size(); ++i) {
            out << " [" << i << "]={";
            writeElementValue(out, *value.values[i]);
            out << "};";
        }
        break;
    default:
        break;
    }
}

} // namespace

void writeAnnotation(TextWriter& out, const AnnotationInfo& annotation) {
    out << "type_index=" << annotation.type_index;
    writeSlotName(out, annotation.owner->pool(), annotation.type_index);
    out << "; num_element_value_pairs=" << annotation.num_element_value_pairs
        << "; element_value_pairs=";
    for (size_t i = 0; i < annotation.element_value_pairs.size(); ++i) {
        out << " [" << i << "]={";
        writeElementValue(out, *annotation.element_value_pairs[i]);
        out << "};";
    }
}

void AnnotationInfo::print(std::ostream& stream) const {
    TextWriter out(stream);
    writeAnnotation(out, *this);
}

void ElementValue::print(std::ostream& stream) const {
    TextWriter out(stream);
    writeElementValue(out, *this);
}

} // namespace classfile
