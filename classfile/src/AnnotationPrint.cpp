// Dumps of annotations and element values; they call each other for nested
// values, as deep as the reader's nesting bound allows.
#include "DumpText.h"

#include "classfile/Annotation.h"
#include "classfile/ConstantPool.h"

#include <ostream>
#include <string>

namespace classfile {

void AnnotationInfo::print(std::ostream& out) const {
    out << "type_index=" << type_index;
    writeSlotName(out, *pool, type_index);
    out << "; num_element_value_pairs=" << num_element_value_pairs << "; element_value_pairs=";
    for (size_t i = 0; i < element_value_pairs.size(); ++i) {
        out << " [" << i << "]={";
        element_value_pairs[i]->print(out);
        out << "};";
    }
}

void ElementValue::print(std::ostream& out) const {
    if (hasName) {
        out << "name=";
        if (pool->find(element_name_index) != nullptr)
            out << pool->text(element_name_index);
        out << "; ";
    }
    out << "tag='" << static_cast<char>(tag) << "'";
    switch (tag) {
    case '@':
        out << " [";
        if (annotation_value)
            annotation_value->print(out);
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
        writeSlotName(out, *pool, const_value_index);
        break;
    case 'c':
        writeSlotName(out, *pool, class_info_index);
        break;
    case 'e':
        if (pool->find(type_name_index) != nullptr && pool->find(const_name_index) != nullptr) {
            const std::string type = pool->text(type_name_index);
            const std::string constant = pool->text(const_name_index);
            out << " [" << type << " " << constant << "]";
        }
        break;
    case '[':
        out << "; num_values=" << num_values << "; values=";
        for (size_t i = 0; i < values.size(); ++i) {
            out << " [" << i << "]={";
            values[i]->print(out);
            out << "};";
        }
        break;
    default:
        break;
    }
}

} // namespace classfile
