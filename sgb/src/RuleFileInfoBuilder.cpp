#include "ExpansionBudget.h"
#include "TranslationSteps.h"

#include "PoolText.h"

#include "sgb/AnnotationConverter.h"
#include "sgb/Descriptor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string_view>

namespace sgb {
namespace {

using classfile::AnnotationInfo;
using classfile::AttributeRuntimeVisibleAnnotations;
using classfile::ClassInfo;
using classfile::ConstantPool;
using classfile::MethodInfo;
using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using rulefileinfo::ParameterImpl;
using rulefileinfo::RuleFileInfoImpl;

// "$StartRule" moves a rule ahead of every rule ordered by its parameters.
constexpr double kStartRuleBonus = 1000000.0;

const AttributeRuntimeVisibleAnnotations* visibleAnnotations(const classfile::AttributeList& list) {
    return classfile::findAttribute<AttributeRuntimeVisibleAnnotations>(list);
}

template <typename Visit>
void forEachContainer(const AnnotationConverter& converter,
                      const AttributeRuntimeVisibleAnnotations* attribute, Visit&& visit) {
    if (!attribute)
        return;
    for (const auto& annotation : attribute->annotations)
        if (converter.isContainer(*annotation))
            visit(*annotation);
}

// Converts the nested annotations of the given containers into a new array;
// leaves `count` 0 and `array` empty when there are none.
template <typename Containers>
void convertNested(const AnnotationConverter& converter, const Containers& containers,
                   size_t& count, std::unique_ptr<AnnotationImpl[]>& array) {
    size_t total = 0;
    for (const AnnotationInfo* container : containers)
        forEachNested(*container, [&](const AnnotationInfo&) { ++total; });
    count = total;
    if (total == 0)
        return;
    array = std::make_unique<AnnotationImpl[]>(total);
    size_t next = 0;
    for (const AnnotationInfo* container : containers)
        forEachNested(*container, [&](const AnnotationInfo& nested) {
            converter.convert(array[next++], nested);
        });
}

// Every "$" after the first one becomes ".".
std::wstring entryName(std::string_view methodName) {
    std::wstring name = widen(methodName);
    const size_t first = name.find(L'$');
    if (first != std::wstring::npos)
        std::replace(name.begin() + static_cast<std::ptrdiff_t>(first) + 1, name.end(), L'$', L'.');
    return name;
}

void applySortAnnotations(EntryImpl& entry) {
    for (size_t a = 0; a < entry.numAnnotations; ++a) {
        const AnnotationImpl& annotation = entry.annotations[a];
        const size_t n = annotation.numArguments;
        const std::wstring_view name = annotation.name;
        if (name == L"$Order") {
            if (n >= 1 && annotation.arguments[0].type == zul::AAT_FLOAT)
                entry.order = annotation.arguments[0].floatValue;
        } else if (name == L"$Group") {
            if (n >= 1 && annotation.arguments[n - 1].type == zul::AAT_FLOAT) {
                entry.groupOrder = annotation.arguments[n - 1].floatValue;
                entry.group.clear();
                for (size_t g = 0; g + 1 < n; ++g)
                    if (annotation.arguments[g].type == zul::AAT_STR)
                        entry.group += annotation.arguments[g].strValue;
            }
        } else if (name == L"$StartRule") {
            if (n == 0)
                entry.order += kStartRuleBonus;
        }
    }
}

void fillEntry(const AnnotationConverter& converter, const MethodInfo& method,
               const AnnotationInfo& container, EntryImpl& entry) {
    const ConstantPool& pool = converter.pool();
    std::string descriptorCopy, scratch;
    const std::string& descriptor = textAt(pool, method.descriptor_index, descriptorCopy);
    entry.name = entryName(textAt(pool, method.name_index, scratch));
    entry.returnType = returnTypeCode(descriptor);

    const TypeCodes types = parameterTypeCodes(descriptor);
    const classfile::AttributeCode* code = method.code();
    const auto* locals =
        code ? classfile::findAttribute<classfile::AttributeLocalVariableTable>(code->attributes)
             : nullptr;
    entry.numParameters = types.size();
    ExpansionBudget::charge(types.size() * sizeof(ParameterImpl));
    if (!types.empty())
        entry.parameters = std::make_unique<ParameterImpl[]>(types.size());
    for (size_t p = 0; p < types.size(); ++p) {
        ParameterImpl& parameter = entry.parameters[p];
        parameter.type = types[p];
        // A table shorter than the parameter list leaves the rest generic names.
        if (locals && p < locals->local_variable_table.size())
            parameter.name =
                widen(textAt(pool, locals->local_variable_table[p].name_index, scratch));
        else
            parameter.name = L"param" + std::to_wstring(p);
    }

    entry.order = -static_cast<double>(types.size());
    const AnnotationInfo* containers[] = {&container};
    convertNested(converter, containers, entry.numAnnotations, entry.annotations);
    applySortAnnotations(entry);
}

// A total order on doubles that puts NaN last, so that a NaN read from a file
// cannot break the sort.
int compareDouble(double a, double b) {
    const bool nanA = std::isnan(a), nanB = std::isnan(b);
    if (nanA || nanB)
        return nanA == nanB ? 0 : (nanA ? 1 : -1);
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool entryLess(const EntryImpl& a, const EntryImpl& b) {
    if (const int c = compareDouble(a.groupOrder, b.groupOrder))
        return c < 0;
    if (const int c = a.group.compare(b.group))
        return c < 0;
    if (const int c = compareDouble(a.order, b.order))
        return c < 0;
    return a.name < b.name;
}

// Sorts entries by moving each once: the sort itself orders pointers, as an
// entry is far larger than a pointer to it. Entries that compare equal keep
// their method order.
void sortEntries(std::unique_ptr<EntryImpl[]>& entries, size_t count) {
    if (count < 2)
        return;
    std::vector<EntryImpl*> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = &entries[i];
    std::stable_sort(order.begin(), order.end(),
                     [](const EntryImpl* a, const EntryImpl* b) { return entryLess(*a, *b); });
    auto sorted = std::make_unique<EntryImpl[]>(count);
    for (size_t i = 0; i < count; ++i)
        sorted[i] = std::move(*order[i]);
    entries = std::move(sorted);
}

enum class Marker { None, Attribute, Rule };

Marker markerOf(const AnnotationConverter& converter, const AnnotationInfo& nested) {
    std::string scratch;
    const std::string& name = converter.nestedName(nested, scratch);
    if (name == "_$ATTR")
        return Marker::Attribute;
    if (name == "_$RULE")
        return Marker::Rule;
    return Marker::None;
}

} // namespace

std::unique_ptr<RuleFileInfoImpl> buildRuleFileInfo(const ClassInfo& cls) {
    const AnnotationConverter converter(cls.pool());
    auto info = std::make_unique<RuleFileInfoImpl>();

    std::vector<const AnnotationInfo*> fileContainers;
    forEachContainer(
        converter, visibleAnnotations(cls.attributes),
        [&](const AnnotationInfo& container) { fileContainers.push_back(&container); });
    convertNested(converter, fileContainers, info->numAnnotations, info->annotations);

    // Counting pass: every marker counts, even a second one on one method.
    // Each method's first marker and the container holding it are kept for
    // the filling pass.
    struct FirstMarker {
        Marker kind = Marker::None;
        const AnnotationInfo* container = nullptr;
    };
    std::vector<FirstMarker> first(cls.methods.size());
    size_t attributes = 0, rules = 0;
    for (size_t m = 0; m < cls.methods.size(); ++m)
        forEachContainer(converter, visibleAnnotations(cls.methods[m]->attributes),
                         [&](const AnnotationInfo& c) {
                             forEachNested(c, [&](const AnnotationInfo& nested) {
                                 const Marker marker = markerOf(converter, nested);
                                 attributes += marker == Marker::Attribute;
                                 rules += marker == Marker::Rule;
                                 if (marker != Marker::None && first[m].kind == Marker::None)
                                     first[m] = {marker, &c};
                             });
                         });
    info->numAttributes = attributes;
    if (attributes)
        info->attributes = std::make_unique<EntryImpl[]>(attributes);
    info->numRules = rules;
    if (rules)
        info->rules = std::make_unique<EntryImpl[]>(rules);

    // Filling pass, in method order: a method becomes one entry, filled from
    // the container in which its first marker was found.
    size_t nextAttribute = 0, nextRule = 0;
    for (size_t m = 0; m < cls.methods.size(); ++m) {
        if (first[m].kind == Marker::Attribute)
            fillEntry(converter, *cls.methods[m], *first[m].container,
                      info->attributes[nextAttribute++]);
        else if (first[m].kind == Marker::Rule)
            fillEntry(converter, *cls.methods[m], *first[m].container, info->rules[nextRule++]);
    }

    sortEntries(info->attributes, info->numAttributes);
    sortEntries(info->rules, info->numRules);
    return info;
}

} // namespace sgb
