// Dumps of attributes and the bytecode listing: the dump arrives separately.
#include "classfile/Annotation.h"
#include "classfile/Attributes.h"

#include <ostream>
#include <string>

namespace classfile {

void AttributeCode::print(std::ostream&) const {}
void AttributeConstantValue::print(std::ostream&) const {}
void AttributeExceptions::print(std::ostream&) const {}
void AttributeInnerClasses::print(std::ostream&) const {}
void AttributeSynthetic::print(std::ostream&) const {}
void AttributeSourceFile::print(std::ostream&) const {}
void AttributeLineNumberTable::print(std::ostream&) const {}
void AttributeLocalVariableTable::print(std::ostream&) const {}
void AttributeDeprecated::print(std::ostream&) const {}
void AttributeStackMap::print(std::ostream&) const {}
void AttributeUnknown::print(std::ostream&) const {}
void AttributeRuntimeAnnotations::print(std::ostream&) const {}
void AttributeRuntimeParameterAnnotations::print(std::ostream&) const {}

std::string AttributeCode::listCode(int32_t) const {
    return {};
}

} // namespace classfile
