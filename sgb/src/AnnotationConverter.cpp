#include "sgb/AnnotationConverter.h"

#include "util/Text.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace sgb {

const char* const kContainerAnnotationType = "Lcom/ulno/gc/SGLAnnotations;";

namespace {

using classfile::ConstantPool;
using classfile::ElementValue;
using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;

const std::string* utf8At(const ConstantPool& pool, size_t index) {
    const classfile::ConstantPoolEntry* entry = pool.find(index);
    const auto* utf8 = entry ? entry->as<classfile::CPEUtf8>() : nullptr;
    return utf8 ? &utf8->value : nullptr;
}

template <typename T>
const T* constantAt(const ConstantPool& pool, size_t index) {
    const classfile::ConstantPoolEntry* entry = pool.find(index);
    return entry ? entry->as<T>() : nullptr;
}

// The text of whatever constant an element value refers to; empty when the
// slot is empty or outside the pool.
std::string constantText(const ConstantPool& pool, size_t index) {
    return pool.find(index) ? pool.text(index) : std::string();
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
            argument.key = util::toWideACP(constantText(pool, value.const_value_index));
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
                argument.strValue = util::toWideACP(*text);
            break;
        }
    }
}

} // namespace

bool isContainerAnnotation(const classfile::AnnotationInfo& annotation) {
    const std::string* type = utf8At(*annotation.pool, annotation.type_index);
    return type && type->compare(0, 28, kContainerAnnotationType) == 0;
}

std::string nestedAnnotationName(const ConstantPool& pool,
                                 const classfile::AnnotationInfo& nested) {
    std::string name;
    for (const auto& pair : nested.element_value_pairs) {
        const std::string* element = utf8At(pool, pair->element_name_index);
        if (element && *element == "name")
            name = constantText(pool, pair->const_value_index);
    }
    return name;
}

void convertAnnotation(const ConstantPool& pool, AnnotationImpl& target,
                       const classfile::AnnotationInfo& nested) {
    static const struct {
        const char* name;
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
        if (*element == "name") {
            target.name = util::toWideACP(constantText(pool, pair->const_value_index));
            continue;
        }
        for (const auto& array : kArrays)
            if (*element == array.name)
                fillArguments(pool, target, array.element, *pair);
    }
}

} // namespace sgb
