#include "rulefileinfo/AnnotationImpl.h"

#include "XmlWriter.h"
#include "rulefileinfo/XmlBuffer.h"

namespace rulefileinfo {

AnnotationArgumentImpl::~AnnotationArgumentImpl() = default;

const char* AnnotationArgumentImpl::toXML(char* buffer, size_t* size, zul::Status* stat) const {
    return renderToBuffer("AnnotationArgumentImpl::toXML", buffer, size, stat,
                          [this](std::string& out) { writeArgument(out, *this); });
}

zul::AnnotationArgumentType AnnotationArgumentImpl::getType() const {
    return type;
}

const wchar_t* AnnotationArgumentImpl::getKey() const {
    return key.c_str();
}

bool AnnotationArgumentImpl::getBool() const {
    return boolValue;
}

double AnnotationArgumentImpl::getFloat() const {
    return floatValue;
}

const wchar_t* AnnotationArgumentImpl::getStr() const {
    return strValue.c_str();
}

AnnotationImpl::~AnnotationImpl() = default;

const char* AnnotationImpl::toXML(char* buffer, size_t* size, zul::Status* stat) const {
    return renderToBuffer("AnnotationImpl::toXML", buffer, size, stat,
                          [this](std::string& out) { writeAnnotation(out, *this); });
}

const wchar_t* AnnotationImpl::getName() const {
    return name.c_str();
}

size_t AnnotationImpl::getNumArguments() const {
    return numArguments;
}

const zul::AnnotationArgument* AnnotationImpl::getArgument(size_t i) const {
    return &arguments[i];
}

} // namespace rulefileinfo
