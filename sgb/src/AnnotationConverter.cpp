#include "sgb/AnnotationConverter.h"

#include "PoolText.h"

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

const std::string kNoText;

// The text of whatever constant an element value refers to; empty when the
// slot is empty or outside the pool.
const std::string& constantText(const ConstantPool& pool, size_t index, std::string& scratch) {
    return pool.find(index) ? textAt(pool, index, scratch) : kNoText;
}

std::wstring constantWide(const ConstantPool& pool, size_t index) {
    std::string scratch;
    return widen(constantText(pool, index, scratch));
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

enum class Element { Types, Names, Bvals, Dvals, Svals };

void fillArguments(const ConstantPool& pool, AnnotationImpl& target, Element element,
                   const ElementValue& array) {
    const auto& values = array.values;
    if (!target.arguments && !values.empty()) {
        target.arguments = std::make_unique<AnnotationArgumentImpl[]>(values.size());
        target.numArguments = values.size();
    }
    // Arrays shorter than the argument count leave the remaining arguments
    // as they are (a short "names" array clears their keys).
    const size_t available = std::min(values.size(), target.numArguments);
    for (size_t i = 0; i < target.numArguments; ++i) {
        AnnotationArgumentImpl& argument = target.arguments[i];
        if (i >= available) {
            if (element == Element::Names)
                argument.key.clear();
            continue;
        }
        const ElementValue& value = *values[i];
        switch (element) {
        case Element::Types:
            argument.type = typeFromChar(pool, value);
            break;
        case Element::Names:
            argument.key = constantWide(pool, value.const_value_index);
            break;
        case Element::Bvals: {
            const auto* constant = constantAt<classfile::CPEInteger>(pool, value.const_value_index);
            argument.boolValue = constant && constant->value != 0;
            break;
        }
        case Element::Dvals: {
            const auto* constant = constantAt<classfile::CPEDouble>(pool, value.const_value_index);
            argument.floatValue = constant ? constant->value : 0.0;
            break;
        }
        case Element::Svals:
            if (const std::string* text = utf8At(pool, value.const_value_index))
                argument.strValue = widen(*text);
            break;
        }
    }
}

} // namespace

bool isContainerAnnotation(const classfile::AnnotationInfo& annotation) {
    const std::string* type =
        annotation.pool ? utf8At(*annotation.pool, annotation.type_index) : nullptr;
    return type && type->compare(0, 28, kContainerAnnotationType) == 0;
}

const std::string& nestedAnnotationName(const ConstantPool& pool,
                                        const classfile::AnnotationInfo& nested,
                                        std::string& scratch) {
    const ElementValue* last = nullptr;
    for (const auto& pair : nested.element_value_pairs) {
        const std::string* element = utf8At(pool, pair->element_name_index);
        if (element && std::string_view(*element) == "name")
            last = pair.get();
    }
    return last ? constantText(pool, last->const_value_index, scratch) : kNoText;
}

void convertAnnotation(const ConstantPool& pool, AnnotationImpl& target,
                       const classfile::AnnotationInfo& nested) {
    static constexpr struct {
        std::string_view name;
        Element element;
    } kArrays[] = {{"types", Element::Types},
                   {"names", Element::Names},
                   {"bvals", Element::Bvals},
                   {"dvals", Element::Dvals},
                   {"svals", Element::Svals}};

    target.numArguments = 0;
    target.arguments.reset();
    for (const auto& pair : nested.element_value_pairs) {
        const std::string* element = utf8At(pool, pair->element_name_index);
        if (!element)
            continue;
        const std::string_view name(*element);
        if (name == "name") {
            target.name = constantWide(pool, pair->const_value_index);
            continue;
        }
        for (const auto& array : kArrays)
            if (name == array.name)
                fillArguments(pool, target, array.element, *pair);
    }
}

} // namespace sgb
