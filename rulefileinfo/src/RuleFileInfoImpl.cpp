#include "rulefileinfo/RuleFileInfoImpl.h"

#include "DeepCopy.h"
#include "XmlWriter.h"
#include "rulefileinfo/XmlBuffer.h"

namespace rulefileinfo {

RuleFileInfoImpl::~RuleFileInfoImpl() = default;

const char* RuleFileInfoImpl::toXML(char* buffer, size_t* size, zul::Status* stat) const {
    return renderToBuffer("RuleFileInfoImpl::toXML", buffer, size, stat,
                          [this](std::string& out) { writeRuleFileInfo(out, *this); });
}

size_t RuleFileInfoImpl::getNumAttributes() const {
    return numAttributes;
}

const zul::RuleFileInfo::Entry* RuleFileInfoImpl::getAttribute(size_t i) const {
    return &attributes[i];
}

size_t RuleFileInfoImpl::getNumRules() const {
    return numRules;
}

const zul::RuleFileInfo::Entry* RuleFileInfoImpl::getRule(size_t i) const {
    return &rules[i];
}

size_t RuleFileInfoImpl::getNumAnnotations() const {
    return numAnnotations;
}

const zul::Annotation* RuleFileInfoImpl::getAnnotation(size_t i) const {
    return &annotations[i];
}

RuleFileInfoImpl* RuleFileInfoImpl::clone() const {
    auto copy = std::make_unique<RuleFileInfoImpl>();
    copyList(copy->numAttributes, copy->attributes, numAttributes, attributes, &copyEntry);
    copyList(copy->numRules, copy->rules, numRules, rules, &copyEntry);
    copyList(copy->numAnnotations, copy->annotations, numAnnotations, annotations, &copyAnnotation);
    return copy.release();
}

} // namespace rulefileinfo
