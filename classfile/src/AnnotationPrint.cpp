// Dumps of annotations and element values: the dump arrives separately.
#include "classfile/Annotation.h"

#include <ostream>

namespace classfile {

void AnnotationInfo::print(std::ostream&) const {}
void ElementValue::print(std::ostream&) const {}

} // namespace classfile
