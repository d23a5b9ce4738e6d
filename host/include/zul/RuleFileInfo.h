#pragma once

#include "zul/Object.h"

#include <cstddef>
#include <cstdint>

namespace zul {

/// Type codes of entry return types, parameter types and annotation arguments.
enum AnnotationArgumentType : uint32_t {
    AAT_VOID = 0,
    AAT_BOOL = 1,
    AAT_FLOAT = 2,
    AAT_STR = 3,
    AAT_INT = 4,
    AAT_UNKNOWN = 5,
};

/// One argument of an annotation: an optional key and a typed value.
class ZUL_CORE_API AnnotationArgument : public Object {
public:
    ~AnnotationArgument() override;
    virtual AnnotationArgumentType getType() const = 0;
    virtual const wchar_t* getKey() const = 0;
    virtual bool getBool() const = 0;
    virtual double getFloat() const = 0;
    virtual const wchar_t* getStr() const = 0;
};

/// An annotation of a rule file, an entry or a parameter.
class ZUL_CORE_API Annotation : public Object {
public:
    ~Annotation() override;
    virtual const wchar_t* getName() const = 0;
    virtual size_t getNumArguments() const = 0;
    virtual const AnnotationArgument* getArgument(size_t i) const = 0;
};

/// What a compiled rule file declares: its attributes and rules with their
/// parameters, and the annotations on all of them.
class ZUL_CORE_API RuleFileInfo : public Object {
public:
    /// One parameter of an attribute or rule.
    class ZUL_CORE_API Parameter {
    public:
        virtual AnnotationArgumentType getType() const = 0;
        virtual const wchar_t* getName() const = 0;
        virtual size_t getNumAnnotations() const = 0;
        virtual const Annotation* getAnnotation(size_t i) const = 0;
        virtual ~Parameter();
    };

    /// One attribute or rule.
    class ZUL_CORE_API Entry {
    public:
        virtual AnnotationArgumentType getReturnType() const = 0;
        virtual const wchar_t* getName() const = 0;
        virtual size_t getNumParameters() const = 0;
        virtual const Parameter* getParameter(size_t i) const = 0;
        virtual size_t getNumAnnotations() const = 0;
        virtual const Annotation* getAnnotation(size_t i) const = 0;
        virtual ~Entry();
    };

    ~RuleFileInfo() override;
    virtual size_t getNumAttributes() const = 0;
    virtual const Entry* getAttribute(size_t i) const = 0;
    virtual size_t getNumRules() const = 0;
    virtual const Entry* getRule(size_t i) const = 0;
    virtual size_t getNumAnnotations() const = 0;
    virtual const Annotation* getAnnotation(size_t i) const = 0;
    virtual RuleFileInfo* clone() const = 0;
};

} // namespace zul
