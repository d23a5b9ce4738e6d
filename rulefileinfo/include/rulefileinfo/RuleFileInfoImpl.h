#pragma once

#include "rulefileinfo/AnnotationImpl.h"
#include "rulefileinfo/EntryImpl.h"
#include "zul/RuleFileInfo.h"

#include <cstddef>
#include <memory>

namespace rulefileinfo {

/// What a compiled rule file declares: its attributes and rules and the
/// file's own annotations. The translator creates it with `new`, sets each
/// count, allocates each array at that length and fills the elements in
/// place; afterwards the record is read-only and safe to share between threads.
class RuleFileInfoImpl : public zul::RuleFileInfo {
public:
    RuleFileInfoImpl() = default;
    RuleFileInfoImpl(const RuleFileInfoImpl&) = delete;
    RuleFileInfoImpl& operator=(const RuleFileInfoImpl&) = delete;
    ~RuleFileInfoImpl() override;

    const char* toXML(char* buffer, size_t* size, zul::Status* stat = nullptr) const override;
    size_t getNumAttributes() const override;
    const zul::RuleFileInfo::Entry* getAttribute(size_t i) const override;
    size_t getNumRules() const override;
    const zul::RuleFileInfo::Entry* getRule(size_t i) const override;
    size_t getNumAnnotations() const override;
    const zul::Annotation* getAnnotation(size_t i) const override;
    /// A new, independent deep copy owned by the caller (entries lose their
    /// sort keys: order, group order and group are left at their defaults).
    RuleFileInfoImpl* clone() const override;

    size_t numAttributes = 0;
    std::unique_ptr<EntryImpl[]> attributes;
    size_t numRules = 0;
    std::unique_ptr<EntryImpl[]> rules;
    size_t numAnnotations = 0;
    std::unique_ptr<AnnotationImpl[]> annotations;
};

} // namespace rulefileinfo
