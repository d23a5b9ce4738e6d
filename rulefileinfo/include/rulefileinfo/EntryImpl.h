#pragma once

#include "rulefileinfo/AnnotationImpl.h"
#include "zul/RuleFileInfo.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <string>

namespace rulefileinfo {

/// One parameter of an attribute or rule: type, name and annotations.
class ParameterImpl : public zul::RuleFileInfo::Parameter {
public:
    ParameterImpl() = default;
    ParameterImpl(ParameterImpl&&) noexcept = default;
    ParameterImpl& operator=(ParameterImpl&&) noexcept = default;
    ~ParameterImpl() override;

    zul::AnnotationArgumentType getType() const override;
    const wchar_t* getName() const override;
    size_t getNumAnnotations() const override;
    const zul::Annotation* getAnnotation(size_t i) const override;

    zul::AnnotationArgumentType type = zul::AAT_UNKNOWN;
    std::wstring name;
    size_t numAnnotations = 0;
    std::unique_ptr<AnnotationImpl[]> annotations;
};

/// One attribute or rule of a rule file. `order`, `groupOrder` and `group`
/// only serve the translator for sorting the entries; no accessor reports
/// them, the XML leaves them out and a clone does not carry them.
class EntryImpl : public zul::RuleFileInfo::Entry {
public:
    EntryImpl() = default;
    EntryImpl(EntryImpl&&) noexcept = default;
    EntryImpl& operator=(EntryImpl&&) noexcept = default;
    ~EntryImpl() override;

    zul::AnnotationArgumentType getReturnType() const override;
    const wchar_t* getName() const override;
    size_t getNumParameters() const override;
    const zul::RuleFileInfo::Parameter* getParameter(size_t i) const override;
    size_t getNumAnnotations() const override;
    const zul::Annotation* getAnnotation(size_t i) const override;

    zul::AnnotationArgumentType returnType = zul::AAT_UNKNOWN;
    std::wstring name;
    size_t numParameters = 0;
    std::unique_ptr<ParameterImpl[]> parameters;
    size_t numAnnotations = 0;
    std::unique_ptr<AnnotationImpl[]> annotations;
    double order = std::numeric_limits<double>::max();
    double groupOrder = std::numeric_limits<double>::max();
    std::wstring group;
};

} // namespace rulefileinfo
