#include "XmlProtocol.h"

#include "fuzz/Guard.h"
#include "fuzz/Streams.h"
#include "fuzz/Targets.h"

#include "sgb/CPEntry.h"
#include "sgb/SGBDecoder.h"
#include "zul/RuleFileInfo.h"
#include "zulx/SGB.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <string>

namespace fuzz {
namespace {

// Promises of the compiled-rule record that the host's interpreter relies on
// when it follows indices from one list into another.
void checkRecord(const zulx::RuleData& record) {
    const auto& constants = record.constants;
    for (size_t i = 0; i < constants.size(); ++i) {
        const SGB::CPEntry* entry = constants[i];
        if (!entry)
            continue;
        if (entry->tag < SGB::CPEntry::STRING || entry->tag > SGB::CPEntry::ENUM_VALUE)
            finding("constant " + std::to_string(i) + " has tag " + std::to_string(entry->tag));
        if (entry->tag != SGB::CPEntry::CREATE_SHAPE && entry->payload == nullptr)
            finding("constant " + std::to_string(i) + " has no payload");
        if (entry->tag == SGB::CPEntry::METHOD &&
            static_cast<const zulx::MethodRecord*>(entry->payload)->index !=
                static_cast<int32_t>(i))
            finding("the method record of constant " + std::to_string(i) + " names another index");
        if (entry->tag == SGB::CPEntry::ENUM_TYPE) {
            const int32_t name = *static_cast<const int32_t*>(entry->payload);
            if (name < 0 || static_cast<size_t>(name) >= record.enumTypeNames.size())
                finding("enum type constant " + std::to_string(i) + " names no enum type");
        }
    }
    for (const auto& method : record.methodIndex) {
        const int32_t i = method.second;
        if (i < 0 || static_cast<size_t>(i) >= constants.size() ||
            !constants[static_cast<size_t>(i)] ||
            constants[static_cast<size_t>(i)]->tag != SGB::CPEntry::METHOD)
            finding("the method index points at a constant without a method record");
    }
    if (!std::is_sorted(record.handleRefs.begin(), record.handleRefs.end()))
        finding("the handle reference list is not sorted");
    for (const int32_t i : record.handleRefs)
        if (i < 0 || static_cast<size_t>(i) >= constants.size() ||
            !constants[static_cast<size_t>(i)] ||
            constants[static_cast<size_t>(i)]->tag != SGB::CPEntry::BUILTIN)
            finding("a handle reference points at a constant that is no built-in");
}

void walkAnnotation(const zul::Annotation* annotation) {
    if (!annotation || !annotation->getName())
        finding("an annotation or its name is missing");
    for (size_t i = 0; i < annotation->getNumArguments(); ++i) {
        const zul::AnnotationArgument* argument = annotation->getArgument(i);
        if (!argument || !argument->getKey() || !argument->getStr())
            finding("an annotation argument or one of its texts is missing");
        static_cast<void>(argument->getFloat());
        static_cast<void>(argument->getBool());
    }
}

void walkEntry(const zul::RuleFileInfo::Entry* entry) {
    if (!entry || !entry->getName())
        finding("an entry or its name is missing");
    for (size_t i = 0; i < entry->getNumParameters(); ++i) {
        const zul::RuleFileInfo::Parameter* parameter = entry->getParameter(i);
        if (!parameter || !parameter->getName())
            finding("a parameter or its name is missing");
        for (size_t j = 0; j < parameter->getNumAnnotations(); ++j)
            walkAnnotation(parameter->getAnnotation(j));
    }
    for (size_t i = 0; i < entry->getNumAnnotations(); ++i)
        walkAnnotation(entry->getAnnotation(i));
}

void checkInfo(const zul::RuleFileInfo& info) {
    for (size_t i = 0; i < info.getNumAttributes(); ++i)
        walkEntry(info.getAttribute(i));
    for (size_t i = 0; i < info.getNumRules(); ++i)
        walkEntry(info.getRule(i));
    for (size_t i = 0; i < info.getNumAnnotations(); ++i)
        walkAnnotation(info.getAnnotation(i));

    const std::string xml = renderXml(info, "RuleFileInfoImpl");
    checkXmlCapacity(info, xml, xml.size(), "RuleFileInfoImpl");
    const std::unique_ptr<zul::RuleFileInfo> copy(info.clone());
    if (!copy || renderXml(*copy, "RuleFileInfoImpl (clone)") != xml)
        finding("the clone of the rule file information renders other XML");
}

} // namespace

void runDecode(const uint8_t* data, size_t size) {
    MemoryBuf buf(data, size);
    std::istream in(&buf);
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results;
    if (!guarded("SGBDecoder::decode", [&] { decoder.decode(results, in, nullptr, L""); })) {
        if (!results.empty())
            finding("decode failed but appended a result");
        return;
    }
    if (results.size() != 1)
        finding("decode appended " + std::to_string(results.size()) + " results");
    const auto* object = dynamic_cast<const zulx::SGB*>(results.front().get());
    if (!object || !object->data)
        finding("decode appended something that is no compiled-rule object with a record");
    checkRecord(*object->data);
    if (!object->data->ruleFileInfo)
        finding("the record has no rule file information");
    checkInfo(*object->data->ruleFileInfo);
}

} // namespace fuzz
