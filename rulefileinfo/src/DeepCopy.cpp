#include "DeepCopy.h"

namespace rulefileinfo {

void copyArgument(AnnotationArgumentImpl& to, const AnnotationArgumentImpl& from) {
    to.type = from.type;
    to.key = from.key;
    to.boolValue = from.boolValue;
    to.floatValue = from.floatValue;
    to.strValue = from.strValue;
}

void copyAnnotation(AnnotationImpl& to, const AnnotationImpl& from) {
    to.name = from.name;
    copyList(to.numArguments, to.arguments, from.numArguments, from.arguments, &copyArgument);
}

void copyParameter(ParameterImpl& to, const ParameterImpl& from) {
    to.type = from.type;
    to.name = from.name;
    copyList(to.numAnnotations, to.annotations, from.numAnnotations, from.annotations,
             &copyAnnotation);
}

void copyEntry(EntryImpl& to, const EntryImpl& from) {
    to.returnType = from.returnType;
    to.name = from.name;
    copyList(to.numParameters, to.parameters, from.numParameters, from.parameters, &copyParameter);
    copyList(to.numAnnotations, to.annotations, from.numAnnotations, from.annotations,
             &copyAnnotation);
}

} // namespace rulefileinfo
