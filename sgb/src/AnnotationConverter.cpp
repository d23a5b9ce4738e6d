#include "sgb/AnnotationConverter.h"

#include "ExpansionBudget.h"
#include "Widen.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace sgb {

const char* const kContainerAnnotationType = "Lcom/ulno/gc/SGLAnnotations;";

namespace {

using classfile::ConstantPool;
using classfile::ElementValue;
using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;

template <typename T>
const T* constantAt(const ConstantPool& pool, size_t index) {
    const classfile::ConstantPoolEntry* entry = pool.find(index);
    // The reader creates the entry class that its tag names.
    return entry && entry->tag == T::TAG ? static_cast<const T*>(entry) : nullptr;
}

// The text of whatever constant an element value refers to; empty when the
// slot is empty or outside the pool.
std::string_view constantText(const ConstantPool& pool, size_t index, std::string& scratch) {
    return pool.find(index) ? pool.textView(index, scratch) : std::string_view();
}

zul::AnnotationArgumentType typeFromChar(const ConstantPool& pool, const ElementValue& value) {
    const auto* constant = constantAt<classfile::CPEInteger>(pool, value.const_value_index);
    switch (constant ? constant->value : 0) {
    case 'b':
        return zul::AAT_BOOL;
    case 'f':
        return zul::AAT_FLOAT;
    case 's':
        return zul::AAT_STR;
    default:
        return zul::AAT_UNKNOWN;
    }
}

} // namespace

void AnnotationConverter::fillArgument(AnnotationArgumentImpl& argument, SlotKind element,
                                       const ElementValue& value) const {
    switch (element) {
    case SlotKind::Types:
        argument.type = typeFromChar(mPool, value);
        break;
    case SlotKind::Names:
        argument.key = constantWide(value.const_value_index);
        break;
    case SlotKind::Bvals: {
        const auto* constant = constantAt<classfile::CPEInteger>(mPool, value.const_value_index);
        argument.boolValue = constant && constant->value != 0;
        break;
    }
    case SlotKind::Dvals: {
        const auto* constant = constantAt<classfile::CPEDouble>(mPool, value.const_value_index);
        argument.floatValue = constant ? constant->value : 0.0;
        break;
    }
    case SlotKind::Svals:
        wideUtf8(value.const_value_index, argument.strValue);
        break;
    default:
        break;
    }
}

void AnnotationConverter::fillArguments(AnnotationImpl& target, SlotKind element,
                                        const ElementValue& array) const {
    const auto& values = array.values;
    if (!target.arguments && !values.empty()) {
        target.arguments = std::make_unique<AnnotationArgumentImpl[]>(values.size());
        target.numArguments = values.size();
    }
    // Arrays shorter than the argument count leave the remaining arguments
    // as they are (a short "names" array clears their keys).
    const size_t available = std::min(values.size(), target.numArguments);
    for (size_t i = 0; i < target.numArguments; ++i) {
        if (i < available)
            fillArgument(target.arguments[i], element, *values[i]);
        else if (element == SlotKind::Names)
            target.arguments[i].key.clear();
    }
}

AnnotationConverter::SlotKind AnnotationConverter::classify(size_t slot) const {
    static constexpr struct {
        std::string_view text;
        SlotKind kind;
    } kKnown[] = {{"name", SlotKind::Name},
                  {"types", SlotKind::Types},
                  {"names", SlotKind::Names},
                  {"bvals", SlotKind::Bvals},
                  {"dvals", SlotKind::Dvals},
                  {"svals", SlotKind::Svals},
                  {"_$ATTR", SlotKind::AttributeMarker},
                  {"_$RULE", SlotKind::RuleMarker}};
    const classfile::CPEUtf8* entry = mPool.utf8At(slot);
    if (!entry)
        return mPool.find(slot) ? SlotKind::NotText : SlotKind::Other;
    const std::string_view text = entry->value;
    for (const auto& known : kKnown)
        if (text == known.text)
            return known.kind;
    return text.compare(0, 28, kContainerAnnotationType) == 0 ? SlotKind::ContainerType
                                                              : SlotKind::Other;
}

AnnotationConverter::AnnotationConverter(const ConstantPool& pool, ExpansionBudget* budget)
    : mPool(pool), mBudget(budget), mKinds(pool.size(), SlotKind::Unseen),
      mWideSlots(pool.size(), 0) {}

bool AnnotationConverter::wideUtf8(size_t slot, std::wstring& out) const {
    if (slot < mWideSlots.size() && mWideSlots[slot] != 0) {
        const WideText& known = mWide[mWideSlots[slot] - 1];
        if (mBudget)
            mBudget->charge(known.charge);
        // A copy is made at the text's length; assigning into `out` would
        // round a short text's capacity up.
        out = std::wstring(known.text);
        return true;
    }
    const classfile::CPEUtf8* entry = mPool.utf8At(slot);
    if (!entry)
        return false;
    out = widen(entry->value, mBudget);
    mWide.push_back({out, entry->value.size() * sizeof(wchar_t)});
    mWideSlots[slot] = static_cast<uint32_t>(mWide.size());
    return true;
}

std::wstring AnnotationConverter::wideText(size_t slot) const {
    std::wstring out;
    if (!wideUtf8(slot, out)) {
        std::string scratch;
        out = widen(mPool.textView(slot, scratch), mBudget);
    }
    return out;
}

std::wstring AnnotationConverter::constantWide(size_t slot) const {
    return mPool.find(slot) ? wideText(slot) : std::wstring();
}

bool AnnotationConverter::isContainer(const classfile::AnnotationInfo& annotation) const {
    return kindOf(annotation.type_index) == SlotKind::ContainerType;
}

const ElementValue* AnnotationConverter::namePair(const classfile::AnnotationInfo& nested) const {
    const ElementValue* last = nullptr;
    for (const ElementValue* pair : nested.element_value_pairs)
        if (kindOf(pair->element_name_index) == SlotKind::Name)
            last = pair;
    return last;
}

AnnotationConverter::Marker
AnnotationConverter::markerOf(const classfile::AnnotationInfo& nested) const {
    const ElementValue* name = namePair(nested);
    if (!name)
        return Marker::None;
    switch (kindOf(name->const_value_index)) {
    case SlotKind::AttributeMarker:
        return Marker::Attribute;
    case SlotKind::RuleMarker:
        return Marker::Rule;
    case SlotKind::NotText: {
        // Another kind of constant marks by its text too; files that name
        // annotations so are rare enough not to keep what was found.
        std::string scratch;
        const std::string_view text = mPool.textView(name->const_value_index, scratch);
        return text == "_$ATTR" ? Marker::Attribute
                                : (text == "_$RULE" ? Marker::Rule : Marker::None);
    }
    default:
        return Marker::None;
    }
}

std::string_view AnnotationConverter::nestedName(const classfile::AnnotationInfo& nested,
                                                 std::string& scratch) const {
    const ElementValue* last = namePair(nested);
    return last ? constantText(mPool, last->const_value_index, scratch) : std::string_view();
}

void AnnotationConverter::convert(AnnotationImpl& target,
                                  const classfile::AnnotationInfo& nested) const {
    target.numArguments = 0;
    target.arguments.reset();
    // A compiler writes each of the five arrays once; then the arguments are
    // made once and each array fills its field of them. A file that repeats
    // an array (a later one overwrites what an earlier one set, and a short
    // "names" clears the keys it leaves) is read array by array, in order.
    constexpr auto first = static_cast<size_t>(SlotKind::Types);
    constexpr auto last = static_cast<size_t>(SlotKind::Svals);
    const ElementValue* arrays[last - first + 1] = {};
    const ElementValue* sizing = nullptr;
    bool repeated = false;
    for (const ElementValue* pair : nested.element_value_pairs) {
        const SlotKind element = kindOf(pair->element_name_index);
        if (element == SlotKind::Name) {
            target.name = constantWide(pair->const_value_index);
        } else if (element >= SlotKind::Types && element <= SlotKind::Svals) {
            const ElementValue*& array = arrays[static_cast<size_t>(element) - first];
            repeated = repeated || array;
            array = pair;
            if (!sizing && !pair->values.empty())
                sizing = pair; // the first non-empty array sets the count
        }
    }
    if (repeated) {
        for (const ElementValue* pair : nested.element_value_pairs) {
            const SlotKind element = kindOf(pair->element_name_index);
            if (element >= SlotKind::Types && element <= SlotKind::Svals)
                fillArguments(target, element, *pair);
        }
        return;
    }
    if (!sizing)
        return;
    const size_t count = sizing->values.size();
    target.arguments = std::make_unique<AnnotationArgumentImpl[]>(count);
    target.numArguments = count;
    for (size_t a = first; a <= last; ++a) {
        if (!arrays[a - first])
            continue;
        const auto& values = arrays[a - first]->values;
        const size_t available = std::min(values.size(), count);
        for (size_t i = 0; i < available; ++i)
            fillArgument(target.arguments[i], static_cast<SlotKind>(a), *values[i]);
    }
}

bool isContainerAnnotation(const ConstantPool& pool, const classfile::AnnotationInfo& annotation) {
    return AnnotationConverter(pool).isContainer(annotation);
}

std::string_view nestedAnnotationName(const ConstantPool& pool,
                                      const classfile::AnnotationInfo& nested,
                                      std::string& scratch) {
    return AnnotationConverter(pool).nestedName(nested, scratch);
}

void convertAnnotation(const ConstantPool& pool, AnnotationImpl& target,
                       const classfile::AnnotationInfo& nested) {
    AnnotationConverter(pool).convert(target, nested);
}

} // namespace sgb
