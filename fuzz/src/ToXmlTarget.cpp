#include "XmlProtocol.h"

#include "fuzz/ByteSource.h"
#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include "rulefileinfo/RuleFileInfoImpl.h"

#include <memory>
#include <string>

namespace fuzz {
namespace {

using rulefileinfo::AnnotationArgumentImpl;
using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using rulefileinfo::ParameterImpl;
using rulefileinfo::RuleFileInfoImpl;

// Small bounds keep one input fast; the variety is in the texts and types.
constexpr uint32_t kMaxItems = 5;
constexpr size_t kMaxText = 24;

zul::AnnotationArgumentType typeCode(ByteSource& in) {
    // Mostly the six codes, sometimes a value outside them ("?" in the XML).
    const uint8_t b = in.byte();
    return static_cast<zul::AnnotationArgumentType>(b < 224 ? b % 6 : b);
}

void fillAnnotation(AnnotationImpl& annotation, ByteSource& in) {
    annotation.name = in.text(kMaxText);
    annotation.numArguments = in.below(kMaxItems);
    annotation.arguments = std::make_unique<AnnotationArgumentImpl[]>(annotation.numArguments);
    for (size_t i = 0; i < annotation.numArguments; ++i) {
        AnnotationArgumentImpl& argument = annotation.arguments[i];
        argument.type = typeCode(in);
        if (in.flag())
            argument.key = in.text(kMaxText);
        argument.boolValue = in.flag();
        argument.floatValue = in.rawDouble();
        argument.strValue = in.text(kMaxText);
    }
}

template <typename Owner>
void fillAnnotations(Owner& owner, ByteSource& in) {
    owner.numAnnotations = in.below(kMaxItems);
    owner.annotations = std::make_unique<AnnotationImpl[]>(owner.numAnnotations);
    for (size_t i = 0; i < owner.numAnnotations; ++i)
        fillAnnotation(owner.annotations[i], in);
}

void fillEntries(size_t& count, std::unique_ptr<EntryImpl[]>& entries, ByteSource& in) {
    count = in.below(kMaxItems);
    entries = std::make_unique<EntryImpl[]>(count);
    for (size_t i = 0; i < count; ++i) {
        EntryImpl& entry = entries[i];
        entry.returnType = typeCode(in);
        entry.name = in.text(kMaxText);
        entry.numParameters = in.below(kMaxItems);
        entry.parameters = std::make_unique<ParameterImpl[]>(entry.numParameters);
        for (size_t j = 0; j < entry.numParameters; ++j) {
            ParameterImpl& parameter = entry.parameters[j];
            parameter.type = typeCode(in);
            parameter.name = in.text(kMaxText);
            fillAnnotations(parameter, in);
        }
        fillAnnotations(entry, in);
    }
}

// Every capacity around the interesting edges, then a few from the input.
void exercise(const zul::Object& object, const char* what, ByteSource& in) {
    const std::string text = renderXml(object, what);
    const size_t needed = text.size() + 1;
    for (const size_t capacity : {size_t{0}, size_t{1}, needed - 1, needed + 1})
        checkXmlCapacity(object, text, capacity, what);
    for (int i = 0; i < 4 && !in.empty(); ++i)
        checkXmlCapacity(object, text, in.below(static_cast<uint32_t>(needed + 8)), what);
}

} // namespace

void runToXml(const uint8_t* data, size_t size) {
    ByteSource in(data, size);
    RuleFileInfoImpl info;
    fillEntries(info.numAttributes, info.attributes, in);
    fillEntries(info.numRules, info.rules, in);
    fillAnnotations(info, in);

    exercise(info, "RuleFileInfoImpl", in);
    if (info.numAnnotations > 0) {
        const AnnotationImpl& annotation =
            info.annotations[in.below(static_cast<uint32_t>(info.numAnnotations))];
        exercise(annotation, "AnnotationImpl", in);
        if (annotation.numArguments > 0)
            exercise(annotation.arguments[in.below(static_cast<uint32_t>(annotation.numArguments))],
                     "AnnotationArgumentImpl", in);
    }
    const std::unique_ptr<RuleFileInfoImpl> copy(info.clone());
    if (renderXml(*copy, "RuleFileInfoImpl (clone)") != renderXml(info, "RuleFileInfoImpl"))
        finding("the clone of a rule file information record renders other XML");
}

} // namespace fuzz
