#include "rulefileinfo/EntryImpl.h"

namespace rulefileinfo {

ParameterImpl::~ParameterImpl() = default;

zul::AnnotationArgumentType ParameterImpl::getType() const {
    return type;
}

const wchar_t* ParameterImpl::getName() const {
    return name.c_str();
}

size_t ParameterImpl::getNumAnnotations() const {
    return numAnnotations;
}

const zul::Annotation* ParameterImpl::getAnnotation(size_t i) const {
    return &annotations[i];
}

EntryImpl::~EntryImpl() = default;

zul::AnnotationArgumentType EntryImpl::getReturnType() const {
    return returnType;
}

const wchar_t* EntryImpl::getName() const {
    return name.c_str();
}

size_t EntryImpl::getNumParameters() const {
    return numParameters;
}

const zul::RuleFileInfo::Parameter* EntryImpl::getParameter(size_t i) const {
    return &parameters[i];
}

size_t EntryImpl::getNumAnnotations() const {
    return numAnnotations;
}

const zul::Annotation* EntryImpl::getAnnotation(size_t i) const {
    return &annotations[i];
}

} // namespace rulefileinfo
