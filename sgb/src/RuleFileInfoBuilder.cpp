#include "TranslationSteps.h"

#include "sgb/AnnotationConverter.h"
#include "sgb/Descriptor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

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
    for (const AnnotationInfo* annotation : attribute->annotations)
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
std::wstring entryName(Translation& translation, std::string_view methodName) {
    std::wstring name = translation.widen(methodName);
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
        if (name.empty() || name[0] != L'$')
            continue; // the common case: no sort annotation
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

// The annotations of a method's entry: those of the container in which its
// first marker was found.
struct EntryAnnotations {
    size_t count = 0;
    std::unique_ptr<AnnotationImpl[]> array;
};

void fillEntry(Translation& translation, const AnnotationConverter& converter,
               const MethodInfo& method, EntryAnnotations& annotations, EntryImpl& entry) {
    const ConstantPool& pool = translation.pool;
    std::string descriptorCopy, scratch;
    const std::string_view descriptor = pool.textView(method.descriptor_index, descriptorCopy);
    entry.name = entryName(translation, pool.textView(method.name_index, scratch));
    entry.returnType = returnTypeCode(descriptor);

    const TypeCodes types = parameterTypeCodes(descriptor);
    const classfile::AttributeCode* code = method.code();
    const auto* locals =
        code ? classfile::findAttribute<classfile::AttributeLocalVariableTable>(code->attributes)
             : nullptr;
    entry.numParameters = types.size();
    translation.budget.charge(types.size() * sizeof(ParameterImpl));
    if (!types.empty())
        entry.parameters = std::make_unique<ParameterImpl[]>(types.size());
    for (size_t p = 0; p < types.size(); ++p) {
        ParameterImpl& parameter = entry.parameters[p];
        parameter.type = types[p];
        // A table shorter than the parameter list leaves the rest generic names.
        if (locals && p < locals->local_variable_table.size())
            parameter.name = converter.wideText(locals->local_variable_table[p].name_index);
        else
            parameter.name = L"param" + std::to_wstring(p);
    }

    entry.order = -static_cast<double>(types.size());
    entry.numAnnotations = annotations.count;
    entry.annotations = std::move(annotations.array);
    applySortAnnotations(entry);
}

// An unsigned integer that orders as the double does, with every NaN equal
// and last and -0.0 equal to 0.0, so that a NaN read from a file cannot break
// the sort and the sort compares integers.
uint64_t orderBits(double value) {
    if (std::isnan(value))
        return std::numeric_limits<uint64_t>::max();
    if (value == 0.0)
        value = 0.0;
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr uint64_t sign = uint64_t{1} << 63;
    return (bits & sign) ? ~bits : bits | sign;
}

// The first sixteen characters of a name, one byte each, in two integers
// that order as the names do wherever two prefixes differ. A character
// outside 1..254 ends the prefix (as 0 below every character, as 255 above),
// so that two names with equal prefixes still need their texts compared.
struct NamePrefix {
    uint64_t high = 0, low = 0;

    explicit NamePrefix(std::wstring_view name) {
        uint8_t bytes[16] = {};
        const size_t n = std::min<size_t>(16, name.size());
        for (size_t i = 0; i < n; ++i) {
            const wchar_t c = name[i];
            if (c < 1 || c > 254) {
                bytes[i] = c < 1 ? 0 : 255;
                break;
            }
            bytes[i] = static_cast<uint8_t>(c);
        }
        for (size_t i = 0; i < 8; ++i) {
            high = high << 8 | bytes[i];
            low = low << 8 | bytes[8 + i];
        }
    }
};

// What an entry is sorted by, held apart from the entry so that most
// comparisons compare integers in one small record: group order, the rank
// of the group's text among the distinct groups of the list, order, name;
// the method order last, which keeps entries of equal keys in it (a class
// has at most 65,535 methods, so 32 bits hold it).
struct SortKey {
    uint64_t groupOrder;
    uint64_t order;
    NamePrefix prefix;
    std::wstring_view name;
    uint32_t groupRank;
    uint32_t index;
};

bool keyLess(const SortKey& a, const SortKey& b) {
    if (a.groupOrder != b.groupOrder)
        return a.groupOrder < b.groupOrder;
    if (a.groupRank != b.groupRank)
        return a.groupRank < b.groupRank;
    if (a.order != b.order)
        return a.order < b.order;
    if (a.prefix.high != b.prefix.high)
        return a.prefix.high < b.prefix.high;
    if (a.prefix.low != b.prefix.low)
        return a.prefix.low < b.prefix.low;
    if (const int c = a.name.compare(b.name))
        return c < 0;
    return a.index < b.index;
}

// Sorts one list of entries. Each entry's key is taken as soon as it is
// filled, while its texts are still in the cache; the sort orders the keys,
// then moves each entry once along the cycles of the permutation, in place.
class EntrySorter {
public:
    explicit EntrySorter(size_t count) { mKeys.reserve(count); }

    /// Takes the key of the list's next entry.
    void add(const EntryImpl& entry) {
        const auto index = static_cast<uint32_t>(mKeys.size());
        mKeys.push_back({orderBits(entry.groupOrder), orderBits(entry.order),
                         NamePrefix(entry.name), entry.name, 0, index});
        if (!entry.group.empty())
            mGroups.push_back({entry.group, index});
    }

    size_t size() const { return mKeys.size(); }

    /// Sorts `entries`, whose keys have all been taken.
    void sort(EntryImpl* entries) {
        rankGroups();
        std::sort(mKeys.begin(), mKeys.end(), keyLess);
        // mKeys[i].index is where the entry that belongs at i is now; a
        // visited slot is marked by pointing at itself.
        const size_t count = mKeys.size();
        for (size_t start = 0; start < count; ++start) {
            if (mKeys[start].index == start)
                continue;
            EntryImpl held = std::move(entries[start]);
            size_t to = start;
            for (;;) {
                const size_t from = mKeys[to].index;
                mKeys[to].index = static_cast<uint32_t>(to);
                if (from == start) {
                    entries[to] = std::move(held);
                    break;
                }
                entries[to] = std::move(entries[from]);
                to = from;
            }
        }
    }

private:
    // Gives each key the rank of its group's text among the distinct texts:
    // a file has few groups and many entries in none, which rank first.
    void rankGroups() {
        std::sort(mGroups.begin(), mGroups.end());
        uint32_t rank = 0;
        for (size_t i = 0; i < mGroups.size(); ++i) {
            if (i == 0 || mGroups[i].first != mGroups[i - 1].first)
                ++rank;
            mKeys[mGroups[i].second].groupRank = rank;
        }
    }

    std::vector<SortKey> mKeys;
    std::vector<std::pair<std::wstring_view, uint32_t>> mGroups; ///< the entries in a group
};

} // namespace

std::unique_ptr<RuleFileInfoImpl> buildRuleFileInfo(Translation& translation) {
    const ClassInfo& cls = translation.cls;
    const AnnotationConverter converter(translation.pool, &translation.budget);
    auto info = std::make_unique<RuleFileInfoImpl>();

    std::vector<const AnnotationInfo*> fileContainers;
    forEachContainer(
        converter, visibleAnnotations(cls.attributes),
        [&](const AnnotationInfo& container) { fileContainers.push_back(&container); });
    convertNested(converter, fileContainers, info->numAnnotations, info->annotations);

    // Counting pass: every marker counts, even a second one on one method.
    // The container holding a method's first marker is converted into the
    // annotations of its entry as soon as its markers are counted, while its
    // records are still in the cache; the filling pass does the rest.
    using Marker = AnnotationConverter::Marker;
    struct FirstMarker {
        Marker kind = Marker::None;
        EntryAnnotations annotations;
    };
    std::vector<FirstMarker> first(cls.methods.size());
    size_t attributes = 0, rules = 0;
    for (size_t m = 0; m < cls.methods.size(); ++m)
        forEachContainer(converter, visibleAnnotations(cls.methods[m]->attributes),
                         [&](const AnnotationInfo& c) {
                             const bool marked = first[m].kind != Marker::None;
                             forEachNested(c, [&](const AnnotationInfo& nested) {
                                 const Marker marker = converter.markerOf(nested);
                                 attributes += marker == Marker::Attribute;
                                 rules += marker == Marker::Rule;
                                 if (first[m].kind == Marker::None)
                                     first[m].kind = marker;
                             });
                             if (!marked && first[m].kind != Marker::None) {
                                 const AnnotationInfo* containers[] = {&c};
                                 EntryAnnotations& out = first[m].annotations;
                                 convertNested(converter, containers, out.count, out.array);
                             }
                         });
    info->numAttributes = attributes;
    if (attributes)
        info->attributes = std::make_unique<EntryImpl[]>(attributes);
    info->numRules = rules;
    if (rules)
        info->rules = std::make_unique<EntryImpl[]>(rules);

    // Filling pass, in method order: a method becomes one entry.
    EntrySorter attributeOrder(attributes), ruleOrder(rules);
    for (size_t m = 0; m < cls.methods.size(); ++m) {
        const bool isAttribute = first[m].kind == Marker::Attribute;
        if (!isAttribute && first[m].kind != Marker::Rule)
            continue;
        EntrySorter& order = isAttribute ? attributeOrder : ruleOrder;
        EntryImpl& entry = (isAttribute ? info->attributes : info->rules)[order.size()];
        fillEntry(translation, converter, *cls.methods[m], first[m].annotations, entry);
        order.add(entry);
    }
    // Entries counted but never filled keep their defaults, and sort last.
    for (size_t i = attributeOrder.size(); i < attributes; ++i)
        attributeOrder.add(info->attributes[i]);
    for (size_t i = ruleOrder.size(); i < rules; ++i)
        ruleOrder.add(info->rules[i]);
    attributeOrder.sort(info->attributes.get());
    ruleOrder.sort(info->rules.get());
    return info;
}

} // namespace sgb
