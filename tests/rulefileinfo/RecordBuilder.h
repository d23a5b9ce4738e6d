#pragma once

#include "rulefileinfo/RuleFileInfoImpl.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rfitest {

using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using rulefileinfo::ParameterImpl;
using rulefileinfo::RuleFileInfoImpl;

/// Moves the items into an owned array of their count, the way the
/// translator fills a list.
template <typename T>
void setList(size_t& count, std::unique_ptr<T[]>& array, std::vector<T> items) {
    count = items.size();
    array.reset(count ? new T[count] : nullptr);
    for (size_t i = 0; i < count; ++i)
        array[i] = std::move(items[i]);
}

/// A vector of move-only records (an initializer list would need copies).
template <typename T, typename... Items>
std::vector<T> items(Items&&... elements) {
    std::vector<T> v;
    v.reserve(sizeof...(elements));
    (v.push_back(std::forward<Items>(elements)), ...);
    return v;
}

inline AnnotationArgumentImpl boolArg(bool value, std::wstring key = L"") {
    AnnotationArgumentImpl a;
    a.type = zul::AAT_BOOL;
    a.key = std::move(key);
    a.boolValue = value;
    return a;
}

inline AnnotationArgumentImpl floatArg(double value, std::wstring key = L"") {
    AnnotationArgumentImpl a;
    a.type = zul::AAT_FLOAT;
    a.key = std::move(key);
    a.floatValue = value;
    return a;
}

inline AnnotationArgumentImpl strArg(std::wstring value, std::wstring key = L"") {
    AnnotationArgumentImpl a;
    a.type = zul::AAT_STR;
    a.key = std::move(key);
    a.strValue = std::move(value);
    return a;
}

inline AnnotationImpl annotation(std::wstring name, std::vector<AnnotationArgumentImpl> args = {}) {
    AnnotationImpl a;
    a.name = std::move(name);
    setList(a.numArguments, a.arguments, std::move(args));
    return a;
}

inline ParameterImpl parameter(zul::AnnotationArgumentType type, std::wstring name,
                               std::vector<AnnotationImpl> annotations = {}) {
    ParameterImpl p;
    p.type = type;
    p.name = std::move(name);
    setList(p.numAnnotations, p.annotations, std::move(annotations));
    return p;
}

inline EntryImpl entry(zul::AnnotationArgumentType returnType, std::wstring name,
                       std::vector<ParameterImpl> parameters = {},
                       std::vector<AnnotationImpl> annotations = {}) {
    EntryImpl e;
    e.returnType = returnType;
    e.name = std::move(name);
    setList(e.numParameters, e.parameters, std::move(parameters));
    setList(e.numAnnotations, e.annotations, std::move(annotations));
    return e;
}

/// A small record with one attribute, one rule with a parameter and one file
/// annotation; its XML is kSampleXml.
inline std::unique_ptr<RuleFileInfoImpl> sampleRecord() {
    auto info = std::make_unique<RuleFileInfoImpl>();
    setList(
        info->numAttributes, info->attributes,
        items<EntryImpl>(entry(zul::AAT_FLOAT, L"height", {},
                               items<AnnotationImpl>(annotation(
                                   L"@Range", items<AnnotationArgumentImpl>(
                                                  floatArg(0, L"min"), floatArg(10, L"max")))))));
    setList(info->numRules, info->rules,
            items<EntryImpl>(entry(
                zul::AAT_VOID, L"Lot",
                items<ParameterImpl>(parameter(zul::AAT_STR, L"label",
                                               items<AnnotationImpl>(annotation(L"@Hidden")))))));
    setList(info->numAnnotations, info->annotations,
            items<AnnotationImpl>(
                annotation(L"@Version", items<AnnotationArgumentImpl>(strArg(L"1.0")))));
    return info;
}

inline const std::string kSampleXml =
    "<rulefileinfo><attributes>"
    "<entry returntype=\"float\" name=\"height\"><parameters></parameters><annotations>\n"
    "<annotation name=\"@Range\"><arguments>"
    "<argument type=\"float\" key=\"min\" value=\"0\"/>"
    "<argument type=\"float\" key=\"max\" value=\"10\"/>"
    "</arguments></annotation></annotations>\n</entry>"
    "</attributes><rules>"
    "<entry returntype=\"void\" name=\"Lot\"><parameters>"
    "<parameter type=\"str\" name=\"label\"><annotations>\n"
    "<annotation name=\"@Hidden\"><arguments></arguments></annotation></annotations>\n"
    "</parameter></parameters><annotations>\n</annotations>\n</entry>"
    "</rules><annotations>\n"
    "<annotation name=\"@Version\"><arguments><argument type=\"str\" value=\"1.0\"/>"
    "</arguments></annotation></annotations>\n"
    "</rulefileinfo>";

} // namespace rfitest
