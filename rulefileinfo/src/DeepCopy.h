#pragma once

#include "rulefileinfo/AnnotationImpl.h"
#include "rulefileinfo/EntryImpl.h"

namespace rulefileinfo {

// Deep copies into default-constructed targets. Every list gets the source's
// count first and then an array of exactly that length.
void copyArgument(AnnotationArgumentImpl& to, const AnnotationArgumentImpl& from);
void copyAnnotation(AnnotationImpl& to, const AnnotationImpl& from);
void copyParameter(ParameterImpl& to, const ParameterImpl& from);
/// Copies type, name, parameters and annotations; the sort keys (order, group
/// order, group) keep their defaults.
void copyEntry(EntryImpl& to, const EntryImpl& from);

template <typename T>
void copyList(size_t& toCount, std::unique_ptr<T[]>& to, size_t fromCount,
              const std::unique_ptr<T[]>& from, void (*copyElement)(T&, const T&)) {
    toCount = fromCount;
    to.reset(fromCount ? new T[fromCount] : nullptr);
    for (size_t i = 0; i < fromCount; ++i)
        copyElement(to[i], from[i]);
}

} // namespace rulefileinfo
