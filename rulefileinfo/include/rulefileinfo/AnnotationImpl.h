#pragma once

#include "zul/RuleFileInfo.h"

#include <cstddef>
#include <memory>
#include <string>

namespace rulefileinfo {

/// One argument of an annotation: an optional key and a value whose type
/// code says which of the three value fields means something. Filled in place
/// by the translator; read-only afterwards.
class AnnotationArgumentImpl : public zul::AnnotationArgument {
public:
    AnnotationArgumentImpl() = default;
    AnnotationArgumentImpl(AnnotationArgumentImpl&&) noexcept = default;
    AnnotationArgumentImpl& operator=(AnnotationArgumentImpl&&) noexcept = default;
    ~AnnotationArgumentImpl() override;

    const char* toXML(char* buffer, size_t* size, zul::Status* stat = nullptr) const override;
    zul::AnnotationArgumentType getType() const override;
    const wchar_t* getKey() const override;
    bool getBool() const override;
    double getFloat() const override;
    const wchar_t* getStr() const override;

    zul::AnnotationArgumentType type = zul::AAT_UNKNOWN;
    std::wstring key; ///< empty when the argument has no key
    bool boolValue = false;
    double floatValue = 0.0;
    std::wstring strValue;
};

/// An annotation of a rule file, an entry or a parameter: its name and its
/// arguments.
class AnnotationImpl : public zul::Annotation {
public:
    AnnotationImpl() = default;
    AnnotationImpl(AnnotationImpl&&) noexcept = default;
    AnnotationImpl& operator=(AnnotationImpl&&) noexcept = default;
    ~AnnotationImpl() override;

    const char* toXML(char* buffer, size_t* size, zul::Status* stat = nullptr) const override;
    const wchar_t* getName() const override;
    size_t getNumArguments() const override;
    const zul::AnnotationArgument* getArgument(size_t i) const override;

    std::wstring name;
    size_t numArguments = 0;
    std::unique_ptr<AnnotationArgumentImpl[]> arguments;
};

} // namespace rulefileinfo
